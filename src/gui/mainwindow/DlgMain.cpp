#include "gui/mainwindow/DlgMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QSessionManager>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>
#include <QWindowStateChangeEvent>

#include "core/common/Utf.h"
#include "core/database/DataBase.h"
#include "core/settings/Options.h"
#include "core/settings/WebLinks.h"
#include "gui/common/Icons.h"
#include "gui/common/LayoutIndicator.h"
#include "gui/common/QtText.h"
#include "gui/dialogs/AboutDlg.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/CommandLine.h"

using namespace CommandId;

namespace {
constexpr int GeneralText = 5;
constexpr int ItemsText = 7;
constexpr int FolderTip = 0;
constexpr int FolderTipText = 11;

struct ToolButton
{
    int command; // 0: separator
    int tooltip;
    const char* themeName;
    const char* fallbackName;
};
const ToolButton ToolButtons[] = {
    {FileNew, 122, "document-new", "new"},
    {FileOpen, 123, "document-open", "open"},
    {0, 0, nullptr, nullptr},
    {EditAddEntry, 141, "list-add", "add"},
    {EditEditEntry, 142, "document-edit", "edit"},
    {EditDeleteEntry, 143, "edit-delete", "delete"},
    {0, 0, nullptr, nullptr},
    {EditCopyUser, 144, "avatar-default", "copy-user"},
    {EditCopyPassword, 145, "dialog-password", "copy-password"},
    {EditCopyUrl, 164, "applications-internet", "copy-url"},
};

// The list's columns in their order, with the setting that shows each; the Group column shows while no group is
// selected in the tree.
struct Column
{
    int header;
    bool COptions::*shown;
};
const Column OptionalColumns[] = {
    {2, &COptions::fColumn0},
    {3, &COptions::fColumn1},
    {18, &COptions::fColumn2},
    {19, &COptions::fColumn3},
};
constexpr int GroupHeader = 4;
constexpr int TitleHeader = 17;
} // namespace

CDlgMain::CDlgMain(CDataBase& database, COptions& options, const ITextSource& texts, const std::u16string& commandLine,
                   QWidget* parent)
    : QMainWindow(parent)
    , database(database)
    , options(options)
    , texts(texts)
    , prompts(*this, options, texts)
    , session(database, options.LastPath, prompts, *this, handle)
    , mainMenu(texts, options)
    , startHidden(IsStartHiddenSwitch(commandLine))
{
    setWindowTitle(QStringLiteral("Lockmere"));
    setWindowIcon(ProgramIcon());
    ApplyTopmost();
    CreateStatusBar();
    CreateToolBar();
    CreateViews();
    resize(780, 500);
    setMinimumSize(560, 360);

    mainMenu.Build(menuBar(), options.fPasteMenuEdit, options.fAutoLoginMenuEdit);
    connect(menuBar(), &QMenuBar::triggered, this, [this](QAction* action) {
        if (action->data().isValid()) {
            OnCommand(action->data().toInt());
        }
    });
    UpdateCommandState(false, false);
    ApplyGroupsTree();

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &CDlgMain::Exit);
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { SaveSettings(); });
}

CDlgMain::~CDlgMain()
{
    mainMenu.ReleaseImages();
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
    countPane->setFixedWidth(80);
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
    groupTree = new QTreeWidget(this);
    groupTree->setObjectName(QStringLiteral("groupTree"));
    groupTree->setHeaderHidden(true);
    groupTree->setRootIsDecorated(true);

    entryList = new QTreeWidget(this);
    entryList->setObjectName(QStringLiteral("entryList"));
    entryList->setRootIsDecorated(false);
    entryList->setSelectionMode(QAbstractItemView::SingleSelection);
    entryList->setSelectionBehavior(QAbstractItemView::SelectRows);
    entryList->setAllColumnsShowFocus(true);
    entryList->setUniformRowHeights(true);
    entryList->setColumnCount(0);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(groupTree);
    splitter->addWidget(entryList);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({190, 590});
    splitter->setContentsMargins(4, 4, 4, 0);
    setCentralWidget(splitter);
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
}

void CDlgMain::ApplyTopmost()
{
    setWindowFlag(Qt::WindowStaysOnTopHint, options.fTop);
}

void CDlgMain::ApplyGroupsTree()
{
    groupTree->setVisible(options.fGroupsTree);
    groupTree->setEnabled(options.fGroupsTree);
}

void CDlgMain::Start()
{
    if (startHidden) {
        // Until the notification-area icon exists, a hidden start waits minimised; the last database is opened
        // when the window is first shown.
        session.SetLocked(true);
        showMinimized();
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
    const QTreeWidgetItem* selectedGroup = groupTree->currentItem();
    const bool groupSelected = options.fGroupsTree && selectedGroup && selectedGroup->parent() != nullptr;
    mainMenu.EnableItems(databaseOpen, hasSelection, groupSelected);
    toolbarActions[EditAddEntry]->setEnabled(databaseOpen);
    for (int command : {EditEditEntry, EditDeleteEntry, EditCopyUser, EditCopyPassword, EditCopyUrl}) {
        toolbarActions[command]->setEnabled(databaseOpen && hasSelection);
    }
}

void CDlgMain::RebuildColumns()
{
    const QTreeWidgetItem* selectedGroup = groupTree->currentItem();
    const bool groupSelected = options.fGroupsTree && selectedGroup && selectedGroup->parent() != nullptr;
    QStringList headers;
    if (!groupSelected) {
        headers << QtText(texts, GroupHeader);
    }
    headers << QtText(texts, TitleHeader);
    for (const Column& column : OptionalColumns) {
        if (options.*column.shown) {
            headers << QtText(texts, column.header);
        }
    }
    entryList->clear();
    entryList->setColumnCount(static_cast<int>(headers.size()));
    entryList->setHeaderLabels(headers);
    for (int column = 0; column < headers.size(); ++column) {
        entryList->setColumnWidth(column, 120);
    }
}

void CDlgMain::FillViews()
{
    // The rows and groups themselves are filled by the list's own code; here the frame around them is set up.
    RebuildColumns();
    groupTree->clear();
    auto* root = new QTreeWidgetItem(groupTree, {QtText(texts, GeneralText)});
    root->setExpanded(true);
    groupPane->setText(QtText(texts, GeneralText));
    countPane->setText(QStringLiteral(" %1 %2").arg(entryList->topLevelItemCount()).arg(QtText(texts, ItemsText)));
}

void CDlgMain::ClearViews()
{
    groupTree->clear();
    entryList->clear();
    entryList->setColumnCount(0);
    entryList->setHeaderLabels({});
    groupPane->clear();
    countPane->clear();
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
    case Help:
        OpenAddress(HelpPageAddress(options.Language));
        break;
    case HelpUpdate:
        OpenAddress(UpdatePageAddress(options.Language));
        break;
    case HelpAbout: {
        CAboutDlg about(texts, options.Language, this);
        about.exec();
        break;
    }
    default:
        // The entry, clipboard, form-filling, CSV, printing and options commands are carried out by their own
        // parts of the window.
        return;
    }
    UpdateCommandState(false, session.IsOpen());
}

void CDlgMain::OpenContainingFolder()
{
    prompts.ShowTip(FolderTip, FolderTipText);
    QDesktopServices::openUrl(QUrl::fromLocalFile(ToQString(session.Folder())));
}

void CDlgMain::OpenAddress(const std::u16string& address)
{
    QDesktopServices::openUrl(QUrl(ToQString(address)));
}

void CDlgMain::SaveSettings()
{
    options.Save(database.Reporter());
}

void CDlgMain::Exit()
{
    exiting = true;
    close();
}

void CDlgMain::closeEvent(QCloseEvent* event)
{
    if (options.fCloseHide && !exiting) {
        event->ignore();
        showMinimized();
        return;
    }
    mainMenu.ReleaseImages();
    event->accept();
}

void CDlgMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) {
        return;
    }
    const bool minimised = isMinimized();
    if (minimised && !wasMinimised) {
        wasMinimised = true;
        Minimised();
    } else if (!minimised && wasMinimised) {
        wasMinimised = false;
        // The password prompt must not run inside the state change itself.
        QTimer::singleShot(0, this, &CDlgMain::Restored);
    }
}

void CDlgMain::Minimised()
{
    if (options.fLockDBMin && !options.LastPath.empty() && !session.IsLocked()) {
        session.Lock();
    }
}

void CDlgMain::Restored()
{
    if (startHidden) {
        startHidden = false;
        session.SetLocked(false);
        session.StartupOpen(options.fLastDB);
    } else if (session.IsLocked() && !options.LastPath.empty()) {
        session.Unlock();
    }
    UpdateCommandState(false, session.IsOpen());
}
