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
class QMenu;

// The notification-area menu: Show, Add Entry, the optional Paste Username, Paste Password and Auto-Login
// submenus of all entries, Options, Help and Exit. It is rebuilt each time it opens, and the entry submenus are
// filled only when they open, so that the menu opens at once at any size; long lists are split into runs of at
// most MaxItemsPerMenu items so that every submenu fits on a screen.
class TrayMenu : public QObject
{
    Q_OBJECT
public:
    static constexpr std::size_t MaxItemsPerMenu = 400;

    // databaseUsable: a database is open, not locked, and the program was not started hidden. dialogOpen: a dialog
    // of the program is open; the menu then offers only Show, which brings that dialog to the front.
    TrayMenu(
        const CDataBase& database, const COptions& options, const ITextSource& texts,
        std::function<bool()> databaseUsable, std::function<bool()> dialogOpen = [] { return false; });
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
    void FillEntries(QMenu* target, TrayEntryCommand kind, std::size_t first, std::size_t count);
    using Groups = std::shared_ptr<const std::vector<Group>>;
    void FillGroups(QMenu* target, TrayEntryCommand kind, const Groups& groups, std::size_t first, std::size_t count);
    Groups CollectGroups() const;

    const CDataBase& database;
    const COptions& options;
    const ITextSource& texts;
    std::function<bool()> databaseUsable;
    std::function<bool()> dialogOpen;
    QMenu* menu;
};
