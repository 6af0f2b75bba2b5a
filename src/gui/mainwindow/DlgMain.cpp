#include "gui/mainwindow/DlgMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSessionManager>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>
#include <QWindowStateChangeEvent>

#include <algorithm>

#include "core/common/Utf.h"
#include "core/database/DataBase.h"
#include "core/settings/BuiltinTexts.h"
#include "core/settings/Options.h"
#include "core/settings/Translate.h"
#include "core/settings/WebLinks.h"
#include "gui/common/Icons.h"
#include "gui/common/LayoutIndicator.h"
#include "gui/common/QtText.h"
#include "gui/common/QtTranslations.h"
#include "gui/common/SecureText.h"
#include "gui/dialogs/AboutDlg.h"
#include "gui/importexport/CsvCommands.h"
#include "gui/importexport/OtherImportCommand.h"
#include "gui/importexport/PrintCommand.h"
#include "gui/mainwindow/AutoLock.h"
#include "gui/mainwindow/ClipboardClearer.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/CommandLine.h"
#include "gui/mainwindow/EntryAddress.h"
#include "gui/mainwindow/EntryCommands.h"
#include "gui/mainwindow/EntryListView.h"
#include "gui/mainwindow/EntryViews.h"
#include "gui/mainwindow/PasswordHealthCommand.h"
#include "gui/mainwindow/QuickSearch.h"
#include "gui/mainwindow/SearchField.h"
#include "gui/mainwindow/TrayIcon.h"
#include "gui/mainwindow/TrayMenu.h"
#include "gui/mainwindow/WelcomePanel.h"
#include "gui/settings/DlgOptions.h"
#include "platform/Autostart.h"
#include "platform/ProgramPath.h"
#include "platform/SettingsFolder.h"

using namespace CommandId;

namespace {
constexpr int FolderTip = 0;
constexpr int FileWorkRetryMilliseconds = 200;
constexpr int AlreadyRunningNoteMilliseconds = 10000;

struct ToolButton
{
    int command; // 0: separator
    int tooltip;
    const char* themeName;
    const char* fallbackName;
};
const ToolButton ToolButtons[] = {
    {FileNew, TextId::New, "document-new", "new"},
    {FileOpen, TextId::Open, "document-open", "open"},
    {0, 0, nullptr, nullptr},
    {EditAddEntry, TextId::AddEntry, "list-add", "add"},
    {EditEditEntry, TextId::EditEntry, "document-edit", "edit"},
    {EditDeleteEntry, TextId::DeleteEntry, "edit-delete", "delete"},
    {0, 0, nullptr, nullptr},
    {EditCopyUser, TextId::CopyUsername, "avatar-default", "copy-user"},
    {EditCopyPassword, TextId::CopyPassword, "dialog-password", "copy-password"},
    {EditCopyUrl, TextId::CopyUrlButton, "applications-internet", "copy-url"},
};

} // namespace

CDlgMain::CDlgMain(CDataBase& database, COptions& options, const ITextSource& texts, const std::u16string& commandLine,
                   QWidget* parent)
    : CDlgMain(database, options, texts, commandLine, DesktopServices::Real(), parent)
{}

CDlgMain::CDlgMain(CDataBase& database, COptions& options, const ITextSource& texts, const std::u16string& commandLine,
                   DesktopServices desktopServices, QWidget* parent)
    : QMainWindow(parent)
    , database(database)
    , options(options)
    , texts(texts)
    , prompts(*this, options, texts)
    , fileWork(texts, this)
    , session(database, options.LastPath, prompts, *this, handle, fileWork)
    , mainMenu(texts, options)
    , desktop(std::move(desktopServices))
    , clipboard(std::make_unique<ClipboardClearer>(*desktop.clipboard, *desktop.clipboardTimer, options))
    , autoLock(std::make_unique<AutoLock>(
          *desktop.lockTimer, options, [this] { return session.IsOpen() && !IsDialogOpen(); }, [this] { LockNow(); }))
    , formFiller(FormFiller::ForThisSession(database.Reporter(), texts))
    , startHidden(IsStartHiddenSwitch(commandLine))
{
    setWindowTitle(QStringLiteral("Lockmere"));
    setWindowIcon(ProgramIcon());
    ApplyTopmost();
    CreateStatusBar();
    CreateToolBar();
    CreateViews();
    CreateSearch();
    resize(780, 500);
    setMinimumSize(560, 360);

    mainMenu.Build(menuBar(), options.fPasteMenuEdit, options.fAutoLoginMenuEdit);
    connect(menuBar(), &QMenuBar::triggered, this, [this](QAction* action) {
        if (action->data().isValid()) {
            ++menuDispatches;
            OnCommand(action->data().toInt());
        }
    });
    UpdateCommandState(false, false);
    ApplyGroupsTree();

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &CDlgMain::Exit);
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { SaveSettings(); });
    CreateTray();
    ConnectApplicationState();
    fixedTranslation = std::make_unique<CTranslate>(std::filesystem::path());
    fixedTranslation->Load(u"");
    translation = fixedTranslation.get();
}

CDlgMain::CDlgMain(CDataBase& database, COptions& options, CTranslate& translation, const std::u16string& commandLine,
                   QWidget* parent)
    : CDlgMain(database, options, static_cast<const ITextSource&>(translation), commandLine, parent)
{
    fixedTranslation.reset();
    this->translation = &translation;
}

void CDlgMain::CreateTray()
{
    trayMenu = new TrayMenu(database, options, texts, [this] {
        return !options.LastPath.empty() && !startHidden && !session.IsLocked() && !fileWork.IsRunning();
    });
    trayMenu->setParent(this);
    connect(trayMenu, &TrayMenu::commandChosen, this, &CDlgMain::OnCommand);
    connect(trayMenu, &TrayMenu::entryCommandChosen, this, &CDlgMain::OnTrayEntryCommand);
    trayIcon = new CTrayIcon(trayMenu->Menu(), this);
    connect(trayIcon, &CTrayIcon::clicked, this, &CDlgMain::ToggleFromTray);
    connect(trayIcon, &CTrayIcon::doubleClicked, this, &CDlgMain::ShowFromTray);
}

void CDlgMain::ConnectApplicationState()
{
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive) {
            autoLock->ApplicationActivated();
        } else {
            autoLock->ApplicationDeactivated();
        }
    });
}

CDlgMain::~CDlgMain()
{
    // The menu's actions point at the window, which is going.
    delete trayIcon;
    delete trayMenu;
}

void CDlgMain::CreateToolBar()
{
    toolBar = addToolBar(QStringLiteral("Lockmere"));
    toolBar->setObjectName(QStringLiteral("toolBar"));
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    toolBar->setIconSize(QSize(24, 24));
    toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    for (const ToolButton& button : ToolButtons) {
        if (button.command == 0) {
            toolBar->addSeparator();
            continue;
        }
        QAction* action = toolBar->addAction(ThemeIcon(button.themeName, button.fallbackName), QString());
        action->setData(button.command);
        toolbarActions[button.command] = action;
    }
    connect(toolBar, &QToolBar::actionTriggered, this, [this](QAction* action) { OnCommand(action->data().toInt()); });
    ApplyTexts();
}

void CDlgMain::CreateStatusBar()
{
    groupPane = new QLabel(this);
    groupPane->setFixedWidth(150);
    countPane = new QLabel(this);
    // At least as wide as before, wider where a translation or a large count needs it.
    countPane->setMinimumWidth(80);
    pathPane = new QLabel(this);
    pathPane->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layoutPane = new LayoutIndicator(this);
    layoutPane->setFixedWidth(28);
    statusBar()->addWidget(groupPane);
    statusBar()->addWidget(countPane);
    statusBar()->addWidget(pathPane, 1);
    statusBar()->addPermanentWidget(layoutPane);
    statusBar()->setSizeGripEnabled(true);
}

void CDlgMain::CreateViews()
{
    views = new EntryViews(database, options, texts, this, fileWork);
    views->SetStatusPanes(groupPane, countPane);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(views->GroupTree());
    welcome = new WelcomePanel(texts, this);
    connect(welcome, &WelcomePanel::createRequested, this, [this] { OnCommand(FileNew); });
    connect(welcome, &WelcomePanel::openRequested, this, [this] { OnCommand(FileOpen); });
    listArea = new QStackedWidget(this);
    listArea->addWidget(views->List());
    listArea->addWidget(welcome);
    splitter->addWidget(listArea);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({170, 610});
    splitter->setContentsMargins(4, 4, 4, 0);
    setCentralWidget(splitter);
    ConnectViews();
}

void CDlgMain::CreateSearch()
{
    auto* spacer = new QWidget(toolBar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolBar->addWidget(spacer);
    searchField = new SearchField(texts, toolBar);
    searchField->setFixedWidth(240);
    toolBar->addWidget(searchField);
    new QuickSearch(*views, *searchField, *this);
}

void CDlgMain::ConnectViews()
{
    connect(views, &EntryViews::selectionChanged, this,
            [this](bool hasSelection) { UpdateCommandState(hasSelection, session.IsOpen()); });
    connect(views, &EntryViews::editRequested, this, [this] { OnCommand(EditEditEntry); });
    connect(views, &EntryViews::contextMenuRequested, this, &CDlgMain::ShowEntryMenu);
}

void CDlgMain::ShowEntryMenu(QPoint globalPosition)
{
    // The Edit menu itself serves as the list's context menu, so both always offer the same enabled commands.
    QMenu* menu = mainMenu.EditMenu();
    if (menu == nullptr) {
        return;
    }
    // A mouse choice in a popup shown on its own does not reach the menu bar's handler, a keyboard choice does;
    // the command runs once either way.
    const int dispatchedBefore = menuDispatches;
    QAction* chosen = menu->exec(globalPosition);
    if (chosen != nullptr && menuDispatches == dispatchedBefore && chosen->data().isValid()) {
        OnCommand(chosen->data().toInt());
    }
}

QTreeWidget* CDlgMain::GroupTree() const
{
    return views->GroupTree();
}

EntryListView* CDlgMain::EntryList() const
{
    return views->List();
}

bool CDlgMain::HasCurrentEntry() const
{
    return views->List()->SelectedRow() >= 0;
}

void CDlgMain::ApplyTexts()
{
    for (const ToolButton& button : ToolButtons) {
        if (button.command != 0) {
            toolbarActions[button.command]->setToolTip(QtText(texts, button.tooltip));
            toolbarActions[button.command]->setText(QtText(texts, button.tooltip));
        }
    }
    if (menuBar()->actions().size() > 0) {
        mainMenu.Rebuild(options.fPasteMenuEdit, options.fAutoLoginMenuEdit, this);
    }
    if (searchField) {
        searchField->ApplyTexts();
        welcome->ApplyTexts();
    }
}

void CDlgMain::ApplyTopmost()
{
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == options.fTop) {
        return;
    }
    // Changing a window flag hides the window; a shown window comes back as it was.
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, options.fTop);
    if (shown) {
        show();
    }
}

void CDlgMain::ApplyGroupsTree()
{
    if (!options.fGroupsTree) {
        views->SelectRoot();
    }
    views->GroupTree()->setVisible(options.fGroupsTree);
    views->GroupTree()->setEnabled(options.fGroupsTree);
}

void CDlgMain::Start(const std::optional<std::filesystem::path>& file)
{
    if (file) {
        // The file the user named is the one to open, whatever the settings remember.
        show();
        session.StartupOpen(false);
        session.OpenFile(*file);
        UpdateCommandState(false, session.IsOpen());
        return;
    }
    if (startHidden) {
        // The last database is opened when the window is first shown. Without a notification area the window waits
        // minimised in the task bar, where it can always be found again.
        session.SetLocked(true);
        if (TrayAvailable()) {
            setVisible(true);
        } else {
            showMinimized();
        }
        return;
    }
    show();
    session.StartupOpen(options.fLastDB);
    UpdateCommandState(false, session.IsOpen());
}

QAction* CDlgMain::ToolbarAction(int command) const
{
    const auto found = toolbarActions.find(command);
    return found == toolbarActions.end() ? nullptr : found->second;
}

QLabel* CDlgMain::StatusPane(int pane) const
{
    switch (pane) {
    case 0:
        return groupPane;
    case 1:
        return countPane;
    case 2:
        return pathPane;
    default:
        return layoutPane;
    }
}

void CDlgMain::UpdateCommandState(bool hasSelection, bool databaseOpen)
{
    const bool groupSelected = views->SelectedGroup().has_value();
    mainMenu.EnableItems(databaseOpen, hasSelection, groupSelected);
    toolbarActions[EditAddEntry]->setEnabled(databaseOpen);
    for (int command : {EditEditEntry, EditDeleteEntry, EditCopyUser, EditCopyPassword, EditCopyUrl}) {
        toolbarActions[command]->setEnabled(databaseOpen && hasSelection);
    }
    searchField->setEnabled(databaseOpen);
    // A locked database is still open: the panel is only for a window without one.
    listArea->setCurrentWidget(options.LastPath.empty() ? static_cast<QWidget*>(welcome) : views->List());
}

void CDlgMain::FillViews()
{
    trayMenu->Discard();
    views->RebuildColumns();
    views->FillViews(true);
}

void CDlgMain::ShowChangedEntries()
{
    trayMenu->Discard();
    views->FillViews(true);
}

void CDlgMain::ClearViews()
{
    trayMenu->Discard();
    views->ClearViews();
    pathPane->clear();
}

void CDlgMain::EnableCommands(bool databaseOpen)
{
    UpdateCommandState(false, databaseOpen);
}

void CDlgMain::ShowPath(const std::u16string& path)
{
    pathPane->setText(ToQString(path));
}

void CDlgMain::OnCommand(int command)
{
    if (fileWork.IsRunning()) {
        return;
    }
    switch (command) {
    case FileNew:
        session.CreateDatabase();
        break;
    case FileOpen:
        session.OpenDatabase();
        break;
    case FileClose:
        session.CloseDatabase();
        break;
    case FileCreateBackup:
        session.CreateBackup();
        break;
    case FileChangePass:
        session.ChangeMasterPassword();
        break;
    case FileLock:
        if (session.IsOpen()) {
            LockNow();
        }
        break;
    case FileImportLdb:
        session.MergeImport();
        break;
    case FileExportTxt:
        session.ExportListing(ListingFormat::Text);
        break;
    case FileExportHtml:
        session.ExportListing(ListingFormat::Html);
        break;
    case FileOpenFolder:
        OpenContainingFolder();
        break;
    case FileImportCsv:
        ImportCsvFile({database, session, prompts, prompts.Files(), this});
        break;
    case FileImportOther:
        ImportOtherManagerFile({database, session, prompts, prompts.Files(), this});
        break;
    case FileExportCsv:
        ExportCsvFile({database, session, prompts, prompts.Files(), this});
        break;
    case FileExportPrint:
        if (session.IsOpen()) {
            PrintDatabase(database, session.Path(), this);
        }
        break;
    case Help:
    case TrayHelp:
        OpenAddress(HelpPageAddress(options.Language));
        break;
    case HelpUpdate:
    case TrayUpdate:
        OpenAddress(UpdatePageAddress(options.Language));
        break;
    case CommandId::Options:
        RunOptions();
        return;
    case HelpAbout:
    case TrayAbout: {
        CAboutDlg about(texts, options.Language, this);
        about.exec();
        break;
    }
    case EditAddEntry:
    case EditEditEntry:
    case EditDeleteEntry:
        RunEntryCommand(command);
        break;
    case EditPasteUsername:
        FillFromCurrentEntry(FillKind::PasteUsername);
        break;
    case EditPastePassword:
        FillFromCurrentEntry(FillKind::PastePassword);
        break;
    case EditAutoLogin:
        FillFromCurrentEntry(FillKind::AutoLogin);
        break;
    case EditCopyUser:
        CopyField(EntryField::Username);
        break;
    case EditCopyPassword:
        CopyField(EntryField::Password);
        break;
    case EditCopyUrl:
        CopyField(EntryField::Url);
        break;
    case EditClearClipboard:
        ClearClipboardCommand();
        break;
    case EditOpenUrl:
        OpenEntryAddress();
        break;
    case EditPasswordHealth:
        ShowPasswordHealth({database, session, texts, this, [this](const EntryKey& key) { EditEntryOf(key); }});
        break;
    case TrayShow:
        ShowFromTray();
        break;
    case TrayAddEntry:
        ShowFromTray();
        RunEntryCommand(EditAddEntry);
        break;
    case TrayOptions:
        OpenOptionsFromTray();
        return;
    case TrayExit:
        Exit();
        return;
    case EditSortGroup:
        views->Sort(EntryField::Group);
        break;
    case EditSortTitle:
        views->Sort(EntryField::Title);
        break;
    case EditSortUsername:
        views->Sort(EntryField::Username);
        break;
    case EditSortPassword:
        views->Sort(EntryField::Password);
        break;
    case EditSortUrl:
        views->Sort(EntryField::Url);
        break;
    case EditSortNotes:
        views->Sort(EntryField::Notes);
        break;
    default:
        // The entry, clipboard, form-filling, CSV, printing and options commands are carried out by their own
        // parts of the window.
        return;
    }
    UpdateCommandState(HasCurrentEntry(), session.IsOpen());
}

void CDlgMain::RunEntryCommand(int command)
{
    if (!session.IsOpen()) {
        return;
    }
    EntryCommandContext context{
        database,
        session,
        *views,
        options,
        prompts,
        [this](EditMode mode, const std::optional<Entry>& values, const std::optional<EntryKey>& selected) {
            CDlgEdit dialog(mode, database, options, texts, values, selected, this);
            if (dialog.exec() != QDialog::Accepted) {
                return std::optional<Entry>();
            }
            return std::optional<Entry>(dialog.Values());
        },
    };
    switch (command) {
    case EditAddEntry:
        AddEntry(context);
        break;
    case EditEditEntry:
        if (HasCurrentEntry()) {
            EditEntry(context);
        }
        break;
    default:
        // Like its toolbar button and menu item, the command is idle while no entry is current.
        if (HasCurrentEntry()) {
            DeleteCurrentEntry(context);
        }
        break;
    }
}

void CDlgMain::EditEntryOf(const EntryKey& key)
{
    views->SelectKey(key);
    if (views->CurrentKey() != key) {
        // The tree's group hides the entry.
        views->SelectRoot();
        views->SelectKey(key);
    }
    if (views->CurrentKey() == key) {
        RunEntryCommand(EditEditEntry);
    }
}

void CDlgMain::FillFromCurrentEntry(FillKind kind)
{
    if (std::optional<Entry> entry = views->CurrentEntry()) {
        FillForm(kind, *entry, ReturnWay::AltTab);
    }
}

void CDlgMain::FillForm(FillKind kind, const Entry& entry, ReturnWay way)
{
    // Typing starts once the closed menu has let go of the keyboard, or the keys would come back to this window.
    QTimer::singleShot(0, this, [this, kind, entry, way] { formFiller->Fill(kind, entry, way); });
}

void CDlgMain::OpenContainingFolder()
{
    prompts.ShowTip(FolderTip, TextId::CloseBeforeMovingTip);
    QDesktopServices::openUrl(QUrl::fromLocalFile(ToQString(session.Folder())));
}

void CDlgMain::OpenAddress(const std::u16string& address)
{
    QDesktopServices::openUrl(QUrl(ToQString(address)));
}

void CDlgMain::SaveSettings()
{
    options.Save(database.Reporter(), PrepareSettingsFile());
}

bool CDlgMain::RunOptions()
{
    CDlgOptions dialog(options, *translation, database.Reporter(), this);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    ApplyOptions();
    return true;
}

void CDlgMain::ApplyOptions()
{
    SaveSettings();
    ApplyStartAtLogin();
    ApplyTopmost();
    UseQtTranslations(translation->LanguageCode());
    ApplyTexts();
    UpdateCommandState(false, session.IsOpen());
    ApplyGroupsTree();
    if (session.IsOpen()) {
        FillViews();
    }
}

void CDlgMain::ApplyStartAtLogin()
{
    // A missing entry only means the program does not start at log-in: not worth interrupting the user for.
    const Autostart autostart;
    if (options.fAutoRun) {
        autostart.Enable(ProgramPath(), options.fAutoRunHide);
    } else {
        autostart.Disable();
    }
}

void CDlgMain::Exit()
{
    exiting = true;
    close();
}

void CDlgMain::closeEvent(QCloseEvent* event)
{
    if (fileWork.IsRunning()) {
        event->ignore();
        return;
    }
    // Without a notification area a hidden window could not be found again, so the close button ends the program.
    if (options.fCloseHide && !exiting && TrayAvailable()) {
        event->ignore();
        showMinimized();
        return;
    }
    autoLock->ApplicationActivated();
    clipboard->ClearAtExit();
    event->accept();
    emit Ended();
}

void CDlgMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    WindowMinimising::Change change = WindowMinimising::Change::None;
    if (event->type() == QEvent::WindowStateChange) {
        change = minimising.StateChanged(isMinimized(), isActiveWindow());
    } else if (event->type() == QEvent::ActivationChange) {
        change = minimising.ActivationChanged(isActiveWindow());
    }
    if (change == WindowMinimising::Change::Minimised) {
        Minimised();
    } else if (change == WindowMinimising::Change::Restored) {
        // The password prompt must not run inside the state change itself.
        QTimer::singleShot(0, this, &CDlgMain::Restored);
    }
}

void CDlgMain::Minimised()
{
    LockMinimised();
    if (TrayAvailable()) {
        // Hiding inside the state change would leave the window manager's state behind.
        QTimer::singleShot(0, this, &CDlgMain::HideToTray);
    }
}

void CDlgMain::LockMinimised()
{
    if (WaitForFileWork(&CDlgMain::LockMinimised)) {
        return;
    }
    if (options.fLockDBMin && !options.LastPath.empty() && minimising.IsMinimised()) {
        session.Lock();
    }
}

bool CDlgMain::WaitForFileWork(void (CDlgMain::*retry)())
{
    // The collection and the held file belong to the file work while it runs; a lock or an unlock meanwhile would
    // pull them from under it.
    if (!fileWork.IsRunning()) {
        return false;
    }
    QTimer::singleShot(FileWorkRetryMilliseconds, this, retry);
    return true;
}

void CDlgMain::Restored()
{
    // Without a notification area the task bar brings the window back, and with it the database.
    if (!inTray) {
        ShowFromTray();
    }
}

bool CDlgMain::TrayAvailable() const
{
    return desktop.trayAvailable();
}

void CDlgMain::setVisible(bool visible)
{
    if (visible && startHidden && TrayAvailable()) {
        trayIcon->Add();
        inTray = true;
        return;
    }
    QMainWindow::setVisible(visible);
}

void CDlgMain::HideToTray()
{
    if (!minimising.IsMinimised() || startHidden) {
        return;
    }
    hide();
    trayIcon->Add();
    inTray = true;
}

void CDlgMain::ShowWindowAgain()
{
    // A window hidden while minimised would be mapped minimised again: the state goes first.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    minimising.ShownAgain();
    show();
    raise();
    activateWindow();
}

void CDlgMain::ShowFromTray()
{
    // The password prompt runs its own event loop, in which the window may be restored or the icon clicked again.
    if (showingFromTray || session.IsOpening() || WaitForFileWork(&CDlgMain::ShowFromTray)) {
        return;
    }
    showingFromTray = true;
    if (startHidden) {
        startHidden = false;
        inTray = false;
        trayIcon->Remove();
        session.SetLocked(false);
        session.StartupOpen(options.fLastDB);
        ShowWindowAgain();
    } else if (session.IsLocked()) {
        inTray = false;
        trayIcon->Remove();
        if (options.LastPath.empty()) {
            session.SetLocked(false);
        } else {
            session.Unlock();
        }
        ShowWindowAgain();
    } else if (inTray) {
        ShowWindowAgain();
        trayIcon->Remove();
        inTray = false;
    }
    showingFromTray = false;
    UpdateCommandState(HasCurrentEntry(), session.IsOpen());
}

void CDlgMain::ToggleFromTray()
{
    if (isVisible() && !minimising.IsMinimised() && !inTray) {
        showMinimized();
    } else {
        ShowFromTray();
    }
}

void CDlgMain::BringToFront()
{
    // Behind the password prompt the window tells why it came up.
    const bool locked = session.IsLocked() && !startHidden;
    if (locked) {
        statusBar()->showMessage(QtText(texts, TextId::AlreadyRunning), AlreadyRunningNoteMilliseconds);
    }
    ShowFromTray();
    ShowWindowAgain();
    if (locked && session.IsOpen()) {
        // The panes of the open database take the bar again.
        statusBar()->clearMessage();
    }
}

void CDlgMain::OpenFileFromOutside(const std::filesystem::path& file)
{
    if (showingFromTray || session.IsOpening() || fileWork.IsRunning()) {
        // A prompt or file work of this window is under way: the file can only wait for the user to ask again.
        ShowWindowAgain();
        return;
    }
    showingFromTray = true;
    if (startHidden) {
        // The last database was never opened: nothing to close, and the named file comes instead.
        startHidden = false;
        session.StartupOpen(false);
        session.SetLocked(false);
    }
    inTray = false;
    trayIcon->Remove();
    ShowWindowAgain();
    session.OpenFile(file);
    showingFromTray = false;
    if (session.IsLocked()) {
        // The user kept the locked database: showing the window asks for its password, as always.
        ShowFromTray();
    }
    UpdateCommandState(HasCurrentEntry(), session.IsOpen());
}

void CDlgMain::OnTrayEntryCommand(TrayEntryCommand kind, std::size_t entryIndex)
{
    if (std::optional<TrayFill> fill = FindTrayFill(database, kind, entryIndex)) {
        FillForm(fill->kind, fill->entry, ReturnWay::AltEsc);
    }
}

void CDlgMain::OpenOptionsFromTray()
{
    ShowFromTray();
    OnCommand(CommandId::Options);
}

void CDlgMain::LockNow()
{
    if (WaitForFileWork(&CDlgMain::LockNow)) {
        return;
    }
    if (!session.IsLocked()) {
        session.Lock();
    }
    if (!inTray) {
        showMinimized();
    }
}

bool CDlgMain::IsDialogOpen() const
{
    const QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal != this) {
        return true;
    }
    const auto windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](const QWidget* window) {
        return window->isVisible() && qobject_cast<const QDialog*>(window) != nullptr;
    });
}

void CDlgMain::CopyField(EntryField field)
{
    const std::optional<Entry> entry = views->CurrentEntry();
    clipboard->Copy(entry ? FieldOf(*entry, field) : SecureString());
}

void CDlgMain::ClearClipboardCommand()
{
    if (clipboard->ClearNow()) {
        database.Reporter().ShowMessage(texts.Text(TextId::ClipboardCleared), MessageIcon::Information);
    }
}

void CDlgMain::OpenEntryAddress()
{
    const std::optional<Entry> entry = views->CurrentEntry();
    if (!entry || entry->url.empty()) {
        return;
    }
    QDesktopServices::openUrl(EntryAddressUrl(ToQString(entry->url), QDir::homePath()));
}
