#pragma once

#include <QMainWindow>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>

#include "core/session/DatabaseSession.h"
#include "gui/mainwindow/DesktopServices.h"
#include "gui/mainwindow/FormFiller.h"
#include "gui/mainwindow/GuiPrompts.h"
#include "gui/mainwindow/MainMenu.h"
#include "gui/mainwindow/ProgressWork.h"
#include "gui/mainwindow/TrayEntryCommand.h"
#include "gui/mainwindow/WindowMinimising.h"
#include "platform/HeldFileHandle.h"

class COptions;
class AutoLock;
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
class WelcomePanel;
class QToolBar;
class QTreeWidget;

// The program's main window: menu, toolbar, group tree, entry list and status bar, and the dispatch of every
// command. The open database's state is kept by its DatabaseSession; the window shows it.
class CDlgMain : public QMainWindow, private ISessionView
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
    void OnCommand(int command);
    // S: the list has a current item; D: a database is open and not locked.
    void UpdateCommandState(bool hasSelection, bool databaseOpen);
    // Sets every translated text again, after the language may have changed.
    void ApplyTexts();
    // Brings the window back from the notification area: the first showing after a hidden start opens the last
    // database, a locked database asks for its password again. Only one password prompt is ever up.
    void ShowFromTray();
    // A single click on the notification-area icon: shows the window, or sends a shown one there.
    void ToggleFromTray();
    // The per-entry commands of the tray menu, with the entry's 0-based index in key order.
    void OnTrayEntryCommand(TrayEntryCommand kind, std::size_t entryIndex);
    // The tray's Options command: the window comes back first, then the options dialog runs as from the menu bar.
    void OpenOptionsFromTray();
    // Runs the options dialog and, on OK, saves and applies the new settings. True on OK.
    bool RunOptions();
    // Types the entry's values into the previously active window; `way` tells how the user came to the command.
    void FillForm(FillKind kind, const Entry& entry, ReturnWay way);

    bool StartHidden() const { return startHidden; }
    DatabaseSession& Session() { return session; }
    CMainMenu& MainMenu() { return mainMenu; }
    QAction* ToolbarAction(int command) const;
    QTreeWidget* GroupTree() const;
    EntryListView* EntryList() const;
    EntryViews& Views() { return *views; }
    QLabel* StatusPane(int pane) const;
    bool InTray() const { return inTray; }
    CTrayIcon& Tray() { return *trayIcon; }
    TrayMenu& TrayCommands() { return *trayMenu; }

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

    void CreateToolBar();
    void CreateStatusBar();
    void CreateViews();
    void CreateSearch();
    void ConnectViews();
    void ShowEntryMenu(QPoint globalPosition);
    void RunEntryCommand(int command);
    // Selects the entry in the list and runs the Edit command on it, as a double click in the list would.
    void EditEntryOf(const EntryKey& key);
    void FillFromCurrentEntry(FillKind kind);
    bool HasCurrentEntry() const;
    void ApplyTopmost();
    void ApplyGroupsTree();
    void Exit();
    void OpenContainingFolder();
    void OpenAddress(const std::u16string& address);
    void SaveSettings();
    void ApplyOptions();
    void ApplyStartAtLogin();
    void Minimised();
    void Restored();
    void CreateTray();
    void ConnectApplicationState();
    bool TrayAvailable() const;
    void HideToTray();
    void ShowWindowAgain();
    // Locks and goes to the notification area: the automatic lock and the Lock command.
    void LockNow();
    void LockMinimised();
    // True when file work runs: `retry` is then called again once it may have ended.
    bool WaitForFileWork(void (CDlgMain::*retry)());
    bool IsDialogOpen() const;
    void CopyField(EntryField field);
    void ClearClipboardCommand();
    void OpenEntryAddress();

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
    CMainMenu mainMenu;
    DesktopServices desktop;
    std::unique_ptr<ClipboardClearer> clipboard;
    std::unique_ptr<AutoLock> autoLock;
    TrayMenu* trayMenu = nullptr;
    CTrayIcon* trayIcon = nullptr;
    std::unique_ptr<FormFiller> formFiller;

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
    WindowMinimising minimising{WindowMinimising::StateReportedHere()};
    bool inTray = false;
    bool showingFromTray = false;
    int menuDispatches = 0;
};
