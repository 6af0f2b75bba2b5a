#pragma once

#include <QMainWindow>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>

#include "core/session/DatabaseSession.h"
#include "gui/mainwindow/CommandTable.h"
#include "gui/mainwindow/DesktopServices.h"
#include "gui/mainwindow/FormFiller.h"
#include "gui/mainwindow/GuiPrompts.h"
#include "gui/mainwindow/MainMenu.h"
#include "gui/mainwindow/ProgressWork.h"
#include "gui/mainwindow/TrayEntryCommand.h"
#include "gui/mainwindow/WindowParts.h"
#include "platform/HeldFileHandle.h"

class COptions;
class CDataBase;
class ClipboardClearer;
class CTrayIcon;
class TrayMenu;
class CTranslate;
class EntryListView;
class EntryViews;
class LayoutIndicator;
class QAction;
class QLabel;
class QStackedWidget;
class SearchField;
class SyncedFolder;
class WelcomePanel;
class WindowLifecycle;
class QToolBar;
class QTreeWidget;

// The program's main window: menu, toolbar, group tree, entry list and status bar. It composes the parts: the
// commands come from the command table (MainWindowCommands), each run with a ticket of the session; the way between
// the screen and the notification area is the WindowLifecycle's; the open database's state is its DatabaseSession's.
class CDlgMain : public QMainWindow, private ISessionView, private IWindowActions
{
    Q_OBJECT
public:
    CDlgMain(CDataBase& database, COptions& options, const ITextSource& texts, const std::u16string& commandLine,
             QWidget* parent = nullptr);
    CDlgMain(CDataBase& database, COptions& options, const ITextSource& texts, const std::u16string& commandLine,
             DesktopServices desktop, QWidget* parent = nullptr);
    // A window whose options dialog can change the language of `translation`.
    CDlgMain(CDataBase& database, COptions& options, CTranslate& translation, const std::u16string& commandLine,
             QWidget* parent = nullptr);
    ~CDlgMain() override;

    // Shows the window (minimised when started hidden) and opens `file` when the command line named one, otherwise
    // the last database when the settings ask for it.
    void Start(const std::optional<std::filesystem::path>& file = std::nullopt);
    // A second start of the program: the window comes to the front, from the notification area if need be, where a
    // locked database asks for its password; the status bar then says that the program was already running.
    void BringToFront();
    // A second start that named a database file: the window comes to the front and opens the file, after asking to
    // close another open database. The open database itself is only shown.
    void OpenFileFromOutside(const std::filesystem::path& file);
    // Runs the command when its rule enables it, with a ticket of the session taken now.
    void OnCommand(int command);
    // S: the list has a current item; D: a database is open and not locked.
    void UpdateCommandState(bool hasSelection, bool databaseOpen);
    // Sets every translated text again, after the language may have changed.
    void ApplyTexts();
    void ShowFromTray() override;
    // The per-entry commands of the tray menu, with the entry's 0-based index in key order.
    void OnTrayEntryCommand(TrayEntryCommand kind, std::size_t entryIndex);
    bool RunOptions() override;
    void FillForm(FillKind kind, const Entry& entry, ReturnWay way) override;

    bool StartHidden() const;
    DatabaseSession& Session() { return session; }
    CMainMenu& MainMenu() { return mainMenu; }
    QAction* ToolbarAction(int command) const;
    QTreeWidget* GroupTree() const;
    EntryListView* EntryList() const;
    EntryViews& Views() { return *views; }
    QLabel* StatusPane(int pane) const;
    bool InTray() const;
    CTrayIcon& Tray();
    TrayMenu& TrayCommands() { return *trayMenu; }
    const CommandTable& Commands() const { return commands; }

signals:
    // The window has ended: Exit, Escape, or the close button when it does not minimise.
    void Ended();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    // A hidden start keeps the window from appearing until it is shown from the notification area.
    void setVisible(bool visible) override;

private:
    // ISessionView
    void FillViews() override;
    void ClearViews() override;
    void EnableCommands(bool databaseOpen) override;
    void ShowPath(const std::u16string& path) override;
    void ShowChangedEntries() override;
    void BeforeReload() override;
    void AfterReload(const std::u16string& note) override;

    // IWindowActions
    void Exit() override;
    void LockNow() override;
    void EditEntryOf(const EntryKey& key) override;
    void RunCommand(int command) override;

    void CreateToolBar();
    void CreateStatusBar();
    void CreateViews();
    void CreateSearch();
    void CreateTray();
    void ConnectViews();
    void ShowEntryMenu(QPoint globalPosition);
    CommandState State() const;
    bool HasCurrentEntry() const;
    void ApplyTopmost();
    void ApplyGroupsTree();
    void SaveSettings();
    void ApplyOptions();
    void ApplyStartAtLogin();

    CDataBase& database;
    COptions& options;
    const ITextSource& texts;
    // The table the options dialog reloads: the window's own texts, or one of built-in texts for a window whose
    // language is fixed.
    std::unique_ptr<CTranslate> fixedTranslation;
    CTranslate* translation = nullptr;
    HeldFileHandle handle;
    GuiPrompts prompts;
    ProgressWork fileWork;
    DatabaseSession session;
    CommandTable commands;
    CMainMenu mainMenu;
    DesktopServices desktop;
    std::unique_ptr<ClipboardClearer> clipboard;
    std::unique_ptr<FormFiller> formFiller;
    EntriesGoing entriesGoing;
    TrayMenu* trayMenu = nullptr;
    WindowLifecycle* lifecycle = nullptr;
    std::unique_ptr<WindowParts> parts;
    std::unique_ptr<SyncedFolder> syncedFolder;
    // The entry that was current before another program's version of the file replaced the collection.
    std::optional<EntryKey> currentBeforeReload;

    QToolBar* toolBar = nullptr;
    std::map<int, QAction*> toolbarActions;
    EntryViews* views = nullptr;
    // The list, or the welcome panel while no database is open.
    QStackedWidget* listArea = nullptr;
    WelcomePanel* welcome = nullptr;
    SearchField* searchField = nullptr;
    QLabel* groupPane = nullptr;
    QLabel* countPane = nullptr;
    QLabel* pathPane = nullptr;
    LayoutIndicator* layoutPane = nullptr;

    bool startHidden = false;
    bool exiting = false;
    int menuDispatches = 0;
};
