#pragma once

#include <QObject>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "core/common/SecureString.h"
#include "gui/mainwindow/TrayEntryCommand.h"

class CDataBase;
class COptions;
class ITextSource;
class QAction;
class QMenu;

// The notification-area menu: Show, Add Entry, the optional Paste Username, Paste Password and Auto-Login
// submenus of all entries, Options, Help and Exit. It is rebuilt each time it opens, and the entry submenus are
// filled only when they open, so that the menu opens at once at any size; long lists are split into runs of as many
// items as fit on the screen, each named by its first and last entry, and long values are cut in the middle.
class TrayMenu : public QObject
{
    Q_OBJECT
public:
    // The most items of one menu level, on a screen of any height.
    static constexpr std::size_t MaxItemsPerMenu = 400;
    // The items that fit one above the other on the primary screen, at most MaxItemsPerMenu.
    static std::size_t ItemsThatFit();

    // databaseUsable: a database is open, not locked, and the program was not started hidden. dialogOpen: a dialog
    // of the program is open; the menu then offers only Show, which brings that dialog to the front.
    TrayMenu(
        const CDataBase& database, const COptions& options, const ITextSource& texts,
        std::function<bool()> databaseUsable, std::function<bool()> dialogOpen = [] { return false; },
        std::size_t itemsPerMenu = ItemsThatFit());
    ~TrayMenu() override;

    QMenu* Menu() const { return menu; }
    void Rebuild();
    // Closes the menu and forgets its entry submenus: the collection is about to change under them.
    void Discard();

signals:
    void commandChosen(int command);
    void entryCommandChosen(TrayEntryCommand kind, std::size_t entryIndex);

private:
    struct Group
    {
        SecureString name;
        std::size_t first;
        std::size_t count;
    };
    void AddCommand(QMenu* target, int command, int textId);
    void AddEntriesSubmenu(TrayEntryCommand kind, int textId);
    QMenu* AddLazySubmenu(QMenu* parent, const QString& text, std::function<void(QMenu*)> fill);
    // `named`: runs are named by group and title, as the flat list mixes the groups.
    void FillEntries(QMenu* target, TrayEntryCommand kind, std::size_t first, std::size_t count, bool named);
    QAction* AddItem(QMenu* target, const QString& text);
    std::vector<std::pair<std::size_t, std::size_t>> Runs(std::size_t first, std::size_t count) const;
    using Groups = std::shared_ptr<const std::vector<Group>>;
    void FillGroups(QMenu* target, TrayEntryCommand kind, const Groups& groups, std::size_t first, std::size_t count);
    Groups CollectGroups() const;

    const CDataBase& database;
    const COptions& options;
    const ITextSource& texts;
    std::function<bool()> databaseUsable;
    std::function<bool()> dialogOpen;
    std::size_t itemsPerMenu;
    QMenu* menu;
};
