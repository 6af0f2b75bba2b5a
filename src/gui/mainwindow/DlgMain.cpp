#include "gui/mainwindow/DlgMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
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
#include <QWindowStateChangeEvent>

#include "core/common/Utf.h"
#include "core/database/DataBase.h"
#include "core/settings/BuiltinTexts.h"
#include "core/settings/Options.h"
#include "core/settings/Translate.h"
#include "gui/common/Icons.h"
#include "gui/common/LayoutIndicator.h"
#include "gui/common/QtText.h"
#include "gui/common/SecureText.h"
#include "gui/common/WindowModalDialogs.h"
#include "gui/mainwindow/ClipboardClearer.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/CommandLine.h"
#include "gui/mainwindow/EntryListView.h"
#include "gui/mainwindow/EntryViews.h"
#include "gui/mainwindow/MainWindowCommands.h"
#include "gui/mainwindow/QuickSearch.h"
#include "gui/mainwindow/SearchField.h"
#include "gui/mainwindow/SyncedFolder.h"
#include "gui/mainwindow/TrayIcon.h"
#include "gui/mainwindow/TrayMenu.h"
#include "gui/mainwindow/WelcomePanel.h"
#include "gui/mainwindow/WindowLifecycle.h"
#include "gui/settings/DlgOptions.h"
#include "platform/Autostart.h"
#include "platform/ProgramPath.h"
#include "platform/SettingsFolder.h"

using namespace CommandId;

namespace {
constexpr int NoteMilliseconds = 10000;

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
    , commands(MainWindowCommands())
    , mainMenu(texts, options, commands)
    , desktop(std::move(desktopServices))
    , clipboard(std::make_unique<ClipboardClearer>(*desktop.clipboard, *desktop.clipboardTimer, options))
    , formFiller(FormFiller::ForThisSession(database.Reporter(), texts))
    , startHidden(IsStartHiddenSwitch(commandLine))
{
    setWindowTitle(QStringLiteral("Lockmere"));
    setWindowIcon(ProgramIcon());
    new WindowModalDialogs(this);
    ApplyTopmost();
    CreateStatusBar();
    CreateToolBar();
    CreateViews();
    CreateSearch();
    resize(780, 500);
    setMinimumSize(560, 360);
    parts = std::make_unique<WindowParts>(WindowParts{session, *views, prompts, prompts.Files(), texts, options,
                                                      database.Reporter(), this, *clipboard, *this, entriesGoing});

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
    syncedFolder = std::make_unique<SyncedFolder>(
        session, options, desktop.trash.get(), [this] { return !fileWork.IsRunning(); },
        [this] { UpdateCommandState(HasCurrentEntry(), session.IsOpen()); });
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
    trayMenu = new TrayMenu(
        database, options, texts,
        [this] { return !options.LastPath.empty() && !StartHidden() && !session.IsLocked() && !fileWork.IsRunning(); },
        [this] { return lifecycle->IsDialogOpen(); });
    trayMenu->setParent(this);
    connect(trayMenu, &TrayMenu::commandChosen, this, &CDlgMain::OnCommand);
    connect(trayMenu, &TrayMenu::entryCommandChosen, this, &CDlgMain::OnTrayEntryCommand);
    lifecycle = new WindowLifecycle(*this, session, options, fileWork, desktop, *trayMenu, startHidden);
    connect(lifecycle, &WindowLifecycle::shown, this,
            [this] { UpdateCommandState(HasCurrentEntry(), session.IsOpen()); });
}

CDlgMain::~CDlgMain()
{
    // The menu's actions point at the window, which is going.
    delete lifecycle;
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
    if (!lifecycle->Start()) {
        return;
    }
    session.StartupOpen(options.fLastDB);
    UpdateCommandState(false, session.IsOpen());
}

bool CDlgMain::StartHidden() const
{
    return lifecycle != nullptr && lifecycle->StartHidden();
}

bool CDlgMain::InTray() const
{
    return lifecycle->InTray();
}

CTrayIcon& CDlgMain::Tray()
{
    return lifecycle->Tray();
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
    const CommandState state{databaseOpen, hasSelection, groupSelected, &options};
    for (const auto& [command, action] : toolbarActions) {
        action->setEnabled(commands.IsEnabled(command, state));
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

void CDlgMain::BeforeReload()
{
    currentBeforeReload = views->CurrentKey();
    emit entriesGoing.going();
    trayMenu->Discard();
    views->LetGoOfEntries();
}

void CDlgMain::AfterReload(const std::u16string& note)
{
    FillViews();
    if (currentBeforeReload) {
        views->SelectKey(*currentBeforeReload);
    }
    currentBeforeReload.reset();
    statusBar()->showMessage(ToQString(note), NoteMilliseconds);
}

void CDlgMain::ClearViews()
{
    // The windows that show entries let go of them with the views, before the entries go.
    emit entriesGoing.going();
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

CommandState CDlgMain::State() const
{
    return {session.IsOpen(), HasCurrentEntry(), views->SelectedGroup().has_value(), &options};
}

void CDlgMain::OnCommand(int command)
{
    // While file work runs it owns the collection and the file; the commands wait for it.
    if (fileWork.IsRunning()) {
        return;
    }
    if (!commands.Run(command, State(), *parts) || exiting) {
        return;
    }
    UpdateCommandState(HasCurrentEntry(), session.IsOpen());
}

void CDlgMain::RunCommand(int command)
{
    OnCommand(command);
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
        OnCommand(EditEditEntry);
    }
}

void CDlgMain::FillForm(FillKind kind, const Entry& entry, ReturnWay way)
{
    // Typing starts once the closed menu has let go of the keyboard, or the keys would come back to this window.
    QTimer::singleShot(0, this, [this, kind, entry, way] { formFiller->Fill(kind, entry, way); });
}

void CDlgMain::OnTrayEntryCommand(TrayEntryCommand kind, std::size_t entryIndex)
{
    if (std::optional<TrayFill> fill = FindTrayFill(database, kind, entryIndex)) {
        FillForm(fill->kind, fill->entry, ReturnWay::AltEsc);
    }
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

void CDlgMain::ShowFromTray()
{
    lifecycle->ShowFromTray();
}

void CDlgMain::LockNow()
{
    lifecycle->LockNow();
}

void CDlgMain::BringToFront()
{
    // Behind the password prompt the window tells why it came up.
    const bool locked = session.IsLocked() && !StartHidden();
    if (locked) {
        statusBar()->showMessage(QtText(texts, TextId::AlreadyRunning), NoteMilliseconds);
    }
    lifecycle->BringToFront();
    if (locked && session.IsOpen()) {
        // The panes of the open database take the bar again.
        statusBar()->clearMessage();
    }
}

void CDlgMain::OpenFileFromOutside(const std::filesystem::path& file)
{
    lifecycle->OpenFileFromOutside(file);
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
    if (!exiting && lifecycle->HidesInsteadOfClosing()) {
        event->ignore();
        showMinimized();
        return;
    }
    lifecycle->Ending();
    clipboard->ClearAtExit();
    event->accept();
    emit Ended();
}

void CDlgMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        lifecycle->WindowStateChanged();
    } else if (event->type() == QEvent::ActivationChange) {
        lifecycle->WindowActivationChanged();
    }
}

void CDlgMain::setVisible(bool visible)
{
    if (lifecycle == nullptr || !lifecycle->KeepsHidden(visible)) {
        QMainWindow::setVisible(visible);
    }
}
