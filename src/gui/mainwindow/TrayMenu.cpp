#include "gui/mainwindow/TrayMenu.h"

#include <QMenu>
#include <iterator>

#include "core/database/DataBase.h"
#include "core/settings/BuiltinTexts.h"
#include "core/settings/Options.h"
#include "gui/common/QtText.h"
#include "gui/common/SecureText.h"
#include "gui/mainwindow/CommandIds.h"

using namespace CommandId;

namespace {

struct Run
{
    std::size_t first;
    std::size_t count;
};

// Splits count items into runs small enough that no menu level holds more than the limit.
std::vector<Run> Runs(std::size_t first, std::size_t count)
{
    std::size_t runSize = TrayMenu::MaxItemsPerMenu;
    while ((count + runSize - 1) / runSize > TrayMenu::MaxItemsPerMenu) {
        runSize *= TrayMenu::MaxItemsPerMenu;
    }
    std::vector<Run> runs;
    for (std::size_t offset = 0; offset < count; offset += runSize) {
        runs.push_back({first + offset, std::min(runSize, count - offset)});
    }
    return runs;
}

// Entry values are shown as they are: an ampersand must not turn into a keyboard accelerator.
QString MenuText(const SecureString& text)
{
    return ToQString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString RunText(const SecureString& first, const SecureString& last)
{
    return MenuText(first) + QStringLiteral(" \u2013 ") + MenuText(last);
}
} // namespace

TrayMenu::TrayMenu(const CDataBase& database, const COptions& options, const ITextSource& texts,
                   std::function<bool()> databaseUsable, std::function<bool()> dialogOpen)
    : database(database)
    , options(options)
    , texts(texts)
    , databaseUsable(std::move(databaseUsable))
    , dialogOpen(std::move(dialogOpen))
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
    QMenu* submenu = parent->addMenu(text);
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
            FillEntries(submenu, kind, 0, database.Size());
        }
    });
}

void TrayMenu::FillEntries(QMenu* target, TrayEntryCommand kind, std::size_t first, std::size_t count)
{
    auto entry = std::next(database.begin(), static_cast<std::ptrdiff_t>(first));
    if (count <= MaxItemsPerMenu) {
        for (std::size_t index = first; index < first + count; ++index, ++entry) {
            QAction* action = target->addAction(MenuText(entry->first.title));
            action->setData(QVariant::fromValue(TrayEntryChoice{kind, index}));
            connect(action, &QAction::triggered, this, [this, kind, index] { emit entryCommandChosen(kind, index); });
        }
        return;
    }
    for (const Run& run : Runs(first, count)) {
        const auto runFirst = entry;
        std::advance(entry, static_cast<std::ptrdiff_t>(run.count - 1));
        AddLazySubmenu(target, RunText(runFirst->first.title, entry->first.title),
                       [this, kind, run](QMenu* submenu) { FillEntries(submenu, kind, run.first, run.count); });
        ++entry;
    }
}

void TrayMenu::FillGroups(QMenu* target, TrayEntryCommand kind, const Groups& groups, std::size_t first,
                          std::size_t count)
{
    if (count <= MaxItemsPerMenu) {
        for (std::size_t index = first; index < first + count; ++index) {
            const Group& group = (*groups)[index];
            AddLazySubmenu(target, MenuText(group.name),
                           [this, kind, group = Run{group.first, group.count}](QMenu* submenu) {
                               FillEntries(submenu, kind, group.first, group.count);
                           });
        }
        return;
    }
    for (const Run& run : Runs(first, count)) {
        AddLazySubmenu(
            target, RunText((*groups)[run.first].name, (*groups)[run.first + run.count - 1].name),
            [this, kind, groups, run](QMenu* submenu) { FillGroups(submenu, kind, groups, run.first, run.count); });
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
