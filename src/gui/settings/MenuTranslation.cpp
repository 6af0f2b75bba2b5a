#include "gui/settings/MenuTranslation.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QString>

#include <vector>

#include "core/common/TextSource.h"

namespace {
QString MenuString(const ITextSource& texts, int textId)
{
    return QString::fromStdU16String(texts.Text(textId));
}

void Translate(QWidget& menu, std::span<const MenuText> byPosition, std::span<const MenuText> byCommand,
               const ITextSource& texts)
{
    const QList<QAction*> items = menu.actions();
    for (std::size_t position = 0; position < byPosition.size(); ++position) {
        const MenuText& row = byPosition[position];
        if (row.textId == KeepMenuItem || position >= static_cast<std::size_t>(items.size())) {
            continue;
        }
        QAction* item = items[static_cast<qsizetype>(position)];
        item->setText(MenuString(texts, row.textId));
        item->setData(row.commandId);
    }
    for (const MenuText& row : byCommand) {
        if (QAction* item = FindMenuCommand(menu, row.commandId)) {
            item->setText(MenuString(texts, row.textId));
        }
    }
}
} // namespace

void TranslateMenu(QMenuBar& menu, std::span<const MenuText> byPosition, std::span<const MenuText> byCommand,
                   const ITextSource& texts)
{
    Translate(menu, byPosition, byCommand, texts);
}

void TranslateMenu(QMenu& menu, std::span<const MenuText> byPosition, std::span<const MenuText> byCommand,
                   const ITextSource& texts)
{
    Translate(menu, byPosition, byCommand, texts);
}

QAction* FindMenuCommand(QWidget& menu, int commandId)
{
    // Items are visited in menu order, each submenu right after the item that opens it. A menu reached twice (the
    // same submenu attached in two places) is searched once.
    std::vector<QAction*> pending;
    const QList<QAction*> top = menu.actions();
    pending.assign(top.rbegin(), top.rend());
    QSet<const QMenu*> searched;
    while (!pending.empty()) {
        QAction* item = pending.back();
        pending.pop_back();
        const QVariant data = item->data();
        if (data.typeId() == QMetaType::Int && data.toInt() == commandId) {
            return item;
        }
        const QMenu* submenu = QMenu::menuInAction(item);
        if (submenu != nullptr && !searched.contains(submenu)) {
            searched.insert(submenu);
            const QList<QAction*> children = submenu->actions();
            pending.insert(pending.end(), children.rbegin(), children.rend());
        }
    }
    return nullptr;
}
