#include "gui/mainwindow/MainMenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include "core/settings/BuiltinTexts.h"
#include "core/settings/Options.h"
#include "gui/common/Icons.h"
#include "gui/common/QtText.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/CommandTable.h"
#include "gui/mainwindow/Shortcuts.h"
#include "gui/settings/MenuTranslation.h"

using namespace CommandId;

namespace {
// Top-level items by position.
const MenuText PositionTexts[] = {
    {0, TextId::FileMenu}, {0, TextId::EditMenu}, {Options, TextId::OptionsMenu}, {0, TextId::HelpMenu}};

// Captions by command.
const MenuText CommandTexts[] = {
    {FileNew, TextId::New},
    {FileOpen, TextId::Open},
    {FileClose, TextId::Close},
    {FileChangePass, TextId::ChangePassword},
    {FileImportCsv, TextId::CsvFile},
    {FileImportLdb, TextId::LockmereDatabase},
    {FileImportOther, TextId::OtherPasswordManager},
    {FileImportKdbx, TextId::KdbxDatabaseItem},
    {FileExportPrint, TextId::Print},
    {FileExportTxt, TextId::TextFile},
    {FileExportHtml, TextId::HtmlFile},
    {FileExportCsv, TextId::CsvFile},
    {FileExportKdbx, TextId::KdbxDatabaseItem},
    {FileCreateBackup, TextId::CreateBackup},
    {FileOpenFolder, TextId::OpenContainingFolder},
    {EditAddEntry, TextId::AddEntry},
    {EditEditEntry, TextId::EditEntry},
    {EditDeleteEntry, TextId::DeleteEntry},
    {EditCopyUser, TextId::CopyUsername},
    {EditCopyPassword, TextId::CopyPassword},
    {EditOpenUrl, TextId::OpenUrl},
    {EditCopyUrl, TextId::CopyUrl},
    {EditSortGroup, TextId::GroupItem},
    {EditSortTitle, TextId::TitleItem},
    {EditSortUsername, TextId::UsernameItem},
    {EditSortPassword, TextId::PasswordItem},
    {EditSortUrl, TextId::UrlItem},
    {EditSortNotes, TextId::NotesItem},
    {EditClearClipboard, TextId::ClearClipboard},
    {Help, TextId::Help},
    {HelpUpdate, TextId::CheckForUpdate},
    {HelpAbout, TextId::About},
    {EditPasteUsername, TextId::PasteUsername},
    {EditPastePassword, TextId::PastePassword},
    {EditAutoLogin, TextId::AutoLogin},
    {EditPasswordHealth, TextId::PasswordHealth},
    {FileLock, TextId::LockItem},
    {FileSynchronize, TextId::SynchronizeItem},
};

struct Image
{
    int command; // UrlMenuImage: the URL/Path submenu
    const char* themeName;
    const char* fallbackName;
};
constexpr int UrlMenuImage = 0;
const std::array<Image, 9> Images = {{
    {FileNew, "document-new", "new"},
    {FileOpen, "document-open", "open"},
    {EditAddEntry, "list-add", "add"},
    {EditEditEntry, "document-edit", "edit"},
    {EditDeleteEntry, "edit-delete", "delete"},
    {EditCopyUser, "avatar-default", "copy-user"},
    {EditCopyPassword, "dialog-password", "copy-password"},
    {EditAutoLogin, "go-next", "auto-login"},
    {UrlMenuImage, "applications-internet", "copy-url"},
}};
} // namespace

CMainMenu::CMainMenu(const ITextSource& texts, const COptions& options, const CommandTable& commands)
    : texts(texts)
    , options(options)
    , rules(commands)
{}

QAction* CMainMenu::AddCommand(QMenu* into, int command)
{
    QAction* action = into->addAction(QString());
    action->setData(command);
    commands[command] = action;
    return action;
}

void CMainMenu::CreateTemplate()
{
    fileMenu = menu->addMenu(QString());
    AddCommand(fileMenu, FileNew);
    AddCommand(fileMenu, FileOpen);
    AddCommand(fileMenu, FileClose);
    fileMenu->addSeparator();
    AddCommand(fileMenu, FileCreateBackup);
    importMenu = fileMenu->addMenu(QString());
    AddCommand(importMenu, FileImportLdb);
    AddCommand(importMenu, FileImportCsv);
    AddCommand(importMenu, FileImportOther);
    AddCommand(importMenu, FileImportKdbx);
    exportMenu = fileMenu->addMenu(QString());
    AddCommand(exportMenu, FileExportPrint);
    AddCommand(exportMenu, FileExportTxt);
    AddCommand(exportMenu, FileExportHtml);
    AddCommand(exportMenu, FileExportCsv);
    AddCommand(exportMenu, FileExportKdbx);
    AddCommand(fileMenu, FileSynchronize);
    fileMenu->addSeparator();
    AddCommand(fileMenu, FileOpenFolder);
    fileMenu->addSeparator();
    AddCommand(fileMenu, FileChangePass);
    // Last, so that the items before keep their places.
    fileMenu->addSeparator();
    AddCommand(fileMenu, FileLock);

    editMenu = menu->addMenu(QString());
    AddCommand(editMenu, EditAddEntry);
    AddCommand(editMenu, EditEditEntry);
    AddCommand(editMenu, EditDeleteEntry);
    editMenu->addSeparator();
    AddCommand(editMenu, EditCopyUser);
    AddCommand(editMenu, EditCopyPassword);
    formFillingAnchor = editMenu->addSeparator();
    urlMenu = editMenu->addMenu(QString());
    AddCommand(urlMenu, EditOpenUrl);
    AddCommand(urlMenu, EditCopyUrl);
    editMenu->addSeparator();
    sortMenu = editMenu->addMenu(QString());
    for (int command : {EditSortGroup, EditSortTitle, EditSortUsername, EditSortPassword, EditSortUrl, EditSortNotes}) {
        AddCommand(sortMenu, command);
    }
    editMenu->addSeparator();
    AddCommand(editMenu, EditClearClipboard);
    editMenu->addSeparator();
    AddCommand(editMenu, EditPasswordHealth);

    optionsItem = menu->addAction(QString());
    optionsItem->setData(Options);
    commands[Options] = optionsItem;

    helpMenu = menu->addMenu(QString());
    AddCommand(helpMenu, Help);
    AddCommand(helpMenu, HelpUpdate);
    AddCommand(helpMenu, HelpAbout);
}

void CMainMenu::Translate()
{
    TranslateMenu(*menu, PositionTexts, CommandTexts, texts);
    importMenu->menuAction()->setText(QtText(texts, TextId::Import));
    exportMenu->menuAction()->setText(QtText(texts, TextId::Export));
    urlMenu->menuAction()->setText(QtText(texts, TextId::UrlMenu));
    sortMenu->menuAction()->setText(QtText(texts, TextId::SortBy));
}

void CMainMenu::Insert()
{
    // The form-filling commands go between Copy Password and the separator before the URL/Path submenu.
    auto insert = [this](QAction* action) { editMenu->insertAction(formFillingAnchor, action); };
    auto newCommand = [this](int command, int text) {
        auto* action = new QAction(QtText(texts, text), editMenu);
        action->setData(command);
        commands[command] = action;
        return action;
    };
    if (paste || autoLogin) {
        formFillingSeparator = new QAction(editMenu);
        formFillingSeparator->setSeparator(true);
        insert(formFillingSeparator);
    }
    if (paste) {
        insert(newCommand(EditPasteUsername, TextId::PasteUsername));
        insert(newCommand(EditPastePassword, TextId::PastePassword));
    }
    if (autoLogin) {
        insert(newCommand(EditAutoLogin, TextId::AutoLogin));
    }
}

void CMainMenu::LoadImages()
{
    for (const Image& image : Images) {
        QAction* item = image.command == UrlMenuImage ? urlMenu->menuAction() : Action(image.command);
        if (item) { // Auto-Login is there only when the settings ask for it
            item->setIcon(ThemeIcon(image.themeName, image.fallbackName));
        }
    }
}

void CMainMenu::Build(QMenuBar* menuBar, bool pasteItems, bool autoLoginItem)
{
    menu = menuBar;
    paste = pasteItems;
    autoLogin = autoLoginItem;
    if (!fileMenu) {
        CreateTemplate();
    }
    Translate();
    Insert();
    LoadImages();
    AssignShortcuts(*this);
}

void CMainMenu::Rebuild(bool pasteItems, bool autoLoginItem, QWidget* window)
{
    for (int command : {EditPasteUsername, EditPastePassword, EditAutoLogin}) {
        if (auto found = commands.find(command); found != commands.end()) {
            delete found->second;
            commands.erase(found);
        }
    }
    delete formFillingSeparator;
    formFillingSeparator = nullptr;
    Build(menu, pasteItems, autoLoginItem);
    if (window) {
        window->update();
    }
}

QAction* CMainMenu::Action(int command) const
{
    const auto found = commands.find(command);
    return found == commands.end() ? nullptr : found->second;
}

void CMainMenu::EnableItems(bool databaseOpen, bool hasSelection, bool groupSelected)
{
    const CommandState state{databaseOpen, hasSelection, groupSelected, &options};
    for (const auto& [command, action] : commands) {
        action->setEnabled(rules.IsEnabled(command, state));
    }
    importMenu->menuAction()->setEnabled(databaseOpen);
    exportMenu->menuAction()->setEnabled(databaseOpen);
    sortMenu->menuAction()->setEnabled(databaseOpen);
    urlMenu->menuAction()->setEnabled(databaseOpen && hasSelection);
}
