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
    {FileExportPrint, TextId::Print},
    {FileExportTxt, TextId::TextFile},
    {FileExportHtml, TextId::HtmlFile},
    {FileExportCsv, TextId::CsvFile},
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
};

// Submenus by their position in the template.
constexpr int ImportPosition = 5;
constexpr int ExportPosition = 6;
constexpr int TemplateUrlPosition = 7;
constexpr int TemplateSortPosition = 9;

// Where the form-filling commands go in the Edit submenu.
constexpr int InsertPosition = 6;

struct Image
{
    int command; // 0: the URL/Path submenu
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

CMainMenu::CMainMenu(const ITextSource& texts, const COptions& options)
    : texts(texts)
    , options(options)
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
    QMenu* importMenu = fileMenu->addMenu(QString());
    AddCommand(importMenu, FileImportLdb);
    AddCommand(importMenu, FileImportCsv);
    QMenu* exportMenu = fileMenu->addMenu(QString());
    AddCommand(exportMenu, FileExportPrint);
    AddCommand(exportMenu, FileExportTxt);
    AddCommand(exportMenu, FileExportHtml);
    AddCommand(exportMenu, FileExportCsv);
    fileMenu->addSeparator();
    AddCommand(fileMenu, FileOpenFolder);
    fileMenu->addSeparator();
    AddCommand(fileMenu, FileChangePass);

    editMenu = menu->addMenu(QString());
    AddCommand(editMenu, EditAddEntry);
    AddCommand(editMenu, EditEditEntry);
    AddCommand(editMenu, EditDeleteEntry);
    editMenu->addSeparator();
    AddCommand(editMenu, EditCopyUser);
    AddCommand(editMenu, EditCopyPassword);
    editMenu->addSeparator();
    QMenu* urlMenu = editMenu->addMenu(QString());
    AddCommand(urlMenu, EditOpenUrl);
    AddCommand(urlMenu, EditCopyUrl);
    editMenu->addSeparator();
    QMenu* sortMenu = editMenu->addMenu(QString());
    for (int command : {EditSortGroup, EditSortTitle, EditSortUsername, EditSortPassword, EditSortUrl, EditSortNotes}) {
        AddCommand(sortMenu, command);
    }
    editMenu->addSeparator();
    AddCommand(editMenu, EditClearClipboard);

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
    const QList<QAction*> fileItems = fileMenu->actions();
    fileItems[ImportPosition]->setText(QtText(texts, TextId::Import));
    fileItems[ExportPosition]->setText(QtText(texts, TextId::Export));
    const QList<QAction*> editItems = editMenu->actions();
    editItems[TemplateUrlPosition]->setText(QtText(texts, TextId::UrlMenu));
    editItems[TemplateSortPosition]->setText(QtText(texts, TextId::SortBy));
}

void CMainMenu::Insert()
{
    auto insertAt = [this](QAction* action) { editMenu->insertAction(editMenu->actions()[InsertPosition], action); };
    auto newCommand = [this](int command, int text) {
        auto* action = new QAction(QtText(texts, text), editMenu);
        action->setData(command);
        commands[command] = action;
        return action;
    };
    auto newSeparator = [this] {
        auto* separator = new QAction(editMenu);
        separator->setSeparator(true);
        return separator;
    };
    if (autoLogin) {
        insertAt(newCommand(EditAutoLogin, TextId::AutoLogin));
    }
    if (paste) {
        insertAt(newCommand(EditPastePassword, TextId::PastePassword));
        insertAt(newCommand(EditPasteUsername, TextId::PasteUsername));
    }
    if (paste || autoLogin) {
        insertAt(newSeparator());
    }
}

void CMainMenu::LoadImages()
{
    for (std::size_t index = 0; index < Images.size(); ++index) {
        const Image& image = Images[index];
        QAction* item = image.command == UrlMenuImage ? EditItemAt(UrlMenuPosition()) : Action(image.command);
        if (!item) {
            continue; // Auto-Login is not inserted
        }
        images[index] = ThemeIcon(image.themeName, image.fallbackName);
        item->setIcon(images[index]);
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
}

void CMainMenu::Rebuild(bool pasteItems, bool autoLoginItem, QWidget* window)
{
    for (int command : {EditPasteUsername, EditPastePassword, EditAutoLogin}) {
        if (auto found = commands.find(command); found != commands.end()) {
            delete found->second;
            commands.erase(found);
        }
    }
    if (paste || autoLogin) {
        delete editMenu->actions()[InsertPosition];
    }
    ReleaseImages();
    Build(menu, pasteItems, autoLoginItem);
    if (window) {
        window->update();
    }
}

void CMainMenu::ReleaseImages()
{
    for (std::size_t index = 0; index < Images.size(); ++index) {
        const Image& image = Images[index];
        QAction* item = image.command == UrlMenuImage ? EditItemAt(UrlMenuPosition()) : Action(image.command);
        if (item) {
            item->setIcon(QIcon());
        }
        images[index] = QIcon();
    }
}

QAction* CMainMenu::Action(int command) const
{
    const auto found = commands.find(command);
    return found == commands.end() ? nullptr : found->second;
}

int CMainMenu::UrlMenuPosition() const
{
    return TemplateUrlPosition + (paste ? 3 : 0) + (autoLogin ? (paste ? 1 : 2) : 0);
}

int CMainMenu::SortMenuPosition() const
{
    return UrlMenuPosition() + 2;
}

QAction* CMainMenu::EditItemAt(int position) const
{
    const QList<QAction*> items = editMenu ? editMenu->actions() : QList<QAction*>();
    return position < items.size() ? items[position] : nullptr;
}

void CMainMenu::EnableItems(bool databaseOpen, bool hasSelection, bool groupSelected)
{
    auto enable = [this](int command, bool on) {
        if (QAction* action = Action(command)) {
            action->setEnabled(on);
        }
    };
    const QList<QAction*> fileItems = fileMenu->actions();
    QAction* urlMenu = EditItemAt(UrlMenuPosition());
    QAction* sortMenu = EditItemAt(SortMenuPosition());

    for (int command : {FileClose, FileChangePass, FileCreateBackup, FileOpenFolder, EditAddEntry}) {
        enable(command, databaseOpen);
    }
    fileItems[ImportPosition]->setEnabled(databaseOpen);
    fileItems[ExportPosition]->setEnabled(databaseOpen);
    sortMenu->setEnabled(databaseOpen);
    enable(EditSortTitle, databaseOpen);
    enable(EditSortGroup, databaseOpen && !groupSelected);
    enable(EditSortUsername, databaseOpen && options.fColumn0);
    enable(EditSortPassword, databaseOpen && options.fColumn1);
    enable(EditSortUrl, databaseOpen && options.fColumn2);
    enable(EditSortNotes, databaseOpen && options.fColumn3);

    const bool entryCommands = databaseOpen && hasSelection;
    for (int command : {EditEditEntry, EditDeleteEntry, EditCopyUser, EditCopyPassword, EditPasteUsername,
                        EditPastePassword, EditAutoLogin}) {
        enable(command, entryCommands);
    }
    urlMenu->setEnabled(entryCommands);
}
