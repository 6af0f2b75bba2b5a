#include "gui/mainwindow/TrayMenu.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <algorithm>
#include <iterator>

#include "core/database/DataBase.h"
#include "core/settings/BuiltinTexts.h"
#include "core/settings/Options.h"
#include "gui/common/QtText.h"
#include "gui/common/ScreenBound.h"
#include "gui/common/SecureText.h"
#include "gui/mainwindow/CommandIds.h"

using namespace CommandId;

namespace {
constexpr std::size_t FewestItemsPerMenu = 10;

// Entry values are shown as they are: an ampersand must not turn into a keyboard accelerator.
QString MenuText(const QString& text)
{
    return QString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// An entry as it stands in key order: its group, then its title.
QString EntryName(const EntryKey& key)
{
    return ToQString(key.group) + QStringLiteral(" \u203A ") + ToQString(key.title);
}

// A run by its two ends, each cut in its own middle so that both stay readable on the screen.
QString RunText(const QString& first, const QString& last, const QFontMetrics& metrics)
{
    const int half = MaxValueWidth() / 2 - metrics.horizontalAdvance(QStringLiteral(" \u2013 "));
    return ElidedInTheMiddle(first, metrics, half) + QStringLiteral(" \u2013 ") +
           ElidedInTheMiddle(last, metrics, half);
}
} // namespace

std::size_t TrayMenu::ItemsThatFit()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return MaxItemsPerMenu;
    }
    const int itemHeight = QFontMetrics(QMenu().font()).height() + 8;
    const auto fit = static_cast<std::size_t>(std::max(1, screen->availableGeometry().height() / itemHeight - 1));
    return std::clamp(fit, FewestItemsPerMenu, MaxItemsPerMenu);
}

std::vector<std::pair<std::size_t, std::size_t>> TrayMenu::Runs(std::size_t first, std::size_t count) const
{
    // Runs small enough that no menu level holds more than fit on the screen.
    std::size_t runSize = itemsPerMenu;
    while ((count + runSize - 1) / runSize > itemsPerMenu) {
        runSize *= itemsPerMenu;
    }
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (std::size_t offset = 0; offset < count; offset += runSize) {
        runs.emplace_back(first + offset, std::min(runSize, count - offset));
    }
    return runs;
}

QAction* TrayMenu::AddItem(QMenu* target, const QString& text)
{
    // A value wider than a third of the screen is cut in the middle; the tool tip holds it whole.
    QAction* action = target->addAction(MenuText(ElidedInTheMiddle(text, target->fontMetrics(), MaxValueWidth())));
    if (action->text() != MenuText(text)) {
        action->setToolTip(text);
    }
    target->setToolTipsVisible(true);
    return action;
}

TrayMenu::TrayMenu(const CDataBase& database, const COptions& options, const ITextSource& texts,
                   std::function<bool()> databaseUsable, std::function<bool()> dialogOpen, std::size_t itemsPerMenu)
    : database(database)
    , options(options)
    , texts(texts)
    , databaseUsable(std::move(databaseUsable))
    , dialogOpen(std::move(dialogOpen))
    , itemsPerMenu(std::clamp(itemsPerMenu, FewestItemsPerMenu, MaxItemsPerMenu))
    , menu(new QMenu)
{
    connect(menu, &QMenu::aboutToShow, this, &TrayMenu::Rebuild);
}

TrayMenu::~TrayMenu()
{
    delete menu;
}

void TrayMenu::AddCommand(QMenu* target, int command, int textId)
{
    QAction* action = target->addAction(QtText(texts, textId));
    action->setData(command);
    connect(action, &QAction::triggered, this, [this, command] { emit commandChosen(command); });
}

void TrayMenu::Rebuild()
{
    menu->clear();
    for (QMenu* old : menu->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) {
        old->deleteLater();
    }
    // A command started from here while a dialog is open would run beside the command that opened it.
    const bool busy = dialogOpen();
    const bool usable = databaseUsable() && !busy;
    AddCommand(menu, TrayShow, TextId::Show);
    menu->addSeparator();
    AddCommand(menu, TrayAddEntry, TextId::AddEntry);
    menu->actions().back()->setEnabled(usable);
    menu->addSeparator();
    if (usable && options.fPasteMenuTray) {
        AddEntriesSubmenu(TrayEntryCommand::PasteUsername, TextId::PasteUsername);
        AddEntriesSubmenu(TrayEntryCommand::PastePassword, TextId::PastePassword);
        menu->addSeparator();
    }
    if (usable && options.fAutoLoginMenuTray) {
        AddEntriesSubmenu(TrayEntryCommand::AutoLogin, TextId::AutoLogin);
        menu->addSeparator();
    }
    AddCommand(menu, TrayOptions, TextId::OptionsMenu);
    QMenu* help = menu->addMenu(QtText(texts, TextId::HelpMenu));
    AddCommand(help, TrayHelp, TextId::Help);
    AddCommand(help, TrayUpdate, TextId::CheckForUpdate);
    AddCommand(help, TrayAbout, TextId::About);
    menu->addSeparator();
    AddCommand(menu, TrayExit, TextId::Exit);
    if (busy) {
        for (QAction* action : menu->actions().mid(1)) {
            action->setEnabled(action->isSeparator());
        }
    }
}

void TrayMenu::Discard()
{
    menu->hide();
    menu->clear();
    for (QMenu* old : menu->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) {
        old->hide();
        old->deleteLater();
    }
}

QMenu* TrayMenu::AddLazySubmenu(QMenu* parent, const QString& text, std::function<void(QMenu*)> fill)
{
    QMenu* submenu = new QMenu(parent);
    QAction* item = AddItem(parent, text);
    item->setMenu(submenu);
    connect(submenu, &QMenu::aboutToShow, this, [submenu, fill = std::move(fill)] {
        if (submenu->isEmpty()) {
            fill(submenu);
        }
    });
    return submenu;
}

void TrayMenu::AddEntriesSubmenu(TrayEntryCommand kind, int textId)
{
    AddLazySubmenu(menu, QtText(texts, textId), [this, kind](QMenu* submenu) {
        if (options.fGroupEntriesTray) {
            const Groups groups = CollectGroups();
            FillGroups(submenu, kind, groups, 0, groups->size());
        } else {
            FillEntries(submenu, kind, 0, database.Size(), true);
        }
    });
}

void TrayMenu::FillEntries(QMenu* target, TrayEntryCommand kind, std::size_t first, std::size_t count, bool named)
{
    auto entry = std::next(database.begin(), static_cast<std::ptrdiff_t>(first));
    if (count <= itemsPerMenu) {
        for (std::size_t index = first; index < first + count; ++index, ++entry) {
            QAction* action = AddItem(target, ToQString(entry->first.title));
            action->setData(QVariant::fromValue(TrayEntryChoice{kind, index}));
            connect(action, &QAction::triggered, this, [this, kind, index] { emit entryCommandChosen(kind, index); });
        }
        return;
    }
    const auto name = [named](const auto& item) {
        return named ? EntryName(item->first) : ToQString(item->first.title);
    };
    for (const auto& [runFirst, runCount] : Runs(first, count)) {
        const auto firstEntry = entry;
        std::advance(entry, static_cast<std::ptrdiff_t>(runCount - 1));
        AddLazySubmenu(target, RunText(name(firstEntry), name(entry), target->fontMetrics()),
                       [this, kind, runFirst, runCount, named](QMenu* submenu) {
                           FillEntries(submenu, kind, runFirst, runCount, named);
                       });
        ++entry;
    }
}

void TrayMenu::FillGroups(QMenu* target, TrayEntryCommand kind, const Groups& groups, std::size_t first,
                          std::size_t count)
{
    if (count <= itemsPerMenu) {
        for (std::size_t index = first; index < first + count; ++index) {
            const Group& group = (*groups)[index];
            AddLazySubmenu(target, ToQString(group.name),
                           [this, kind, groupFirst = group.first, groupCount = group.count](QMenu* submenu) {
                               FillEntries(submenu, kind, groupFirst, groupCount, false);
                           });
        }
        return;
    }
    for (const auto& [runFirst, runCount] : Runs(first, count)) {
        AddLazySubmenu(target,
                       RunText(ToQString((*groups)[runFirst].name), ToQString((*groups)[runFirst + runCount - 1].name),
                               target->fontMetrics()),
                       [this, kind, groups, runFirst, runCount](QMenu* submenu) {
                           FillGroups(submenu, kind, groups, runFirst, runCount);
                       });
    }
}

TrayMenu::Groups TrayMenu::CollectGroups() const
{
    // Key order puts each group's entries together, so one walk finds every group with its run of entries.
    auto groups = std::make_shared<std::vector<Group>>();
    std::size_t index = 0;
    for (const auto& item : database) {
        if (groups->empty() || groups->back().name != item.first.group) {
            groups->push_back({item.first.group, index, 0});
        }
        ++groups->back().count;
        ++index;
    }
    return groups;
}
