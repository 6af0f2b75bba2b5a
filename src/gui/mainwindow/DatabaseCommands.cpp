#include "gui/mainwindow/DatabaseCommands.h"

#include <QDesktopServices>
#include <QUrl>

#include "core/session/DatabaseSession.h"
#include "core/settings/BuiltinTexts.h"
#include "gui/common/QtText.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/CommandTable.h"
#include "gui/mainwindow/CommandTicket.h"

using namespace CommandId;

namespace {
constexpr int FolderTip = 0;

void OpenContainingFolder(CommandTicket& ticket)
{
    ticket.Prompts().ShowTip(FolderTip, TextId::CloseBeforeMovingTip);
    if (ticket.Confirm()) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(ToQString(ticket.Session().Folder())));
    }
}

// A command the session carries out whole, checking the ticket it takes itself after every question.
WindowCommand OfSession(int id, EnabledRule enabled, void (DatabaseSession::*operation)())
{
    return {id, enabled, [operation](CommandTicket& ticket) { (ticket.Lifecycle().*operation)(); }};
}

WindowCommand Export(int id, ListingFormat format)
{
    return {id, Enabled::WithDatabase, [format](CommandTicket& ticket) { ticket.Lifecycle().ExportListing(format); }};
}
} // namespace

void AddDatabaseCommands(CommandTable& table)
{
    table.Add(OfSession(FileNew, Enabled::Always, &DatabaseSession::CreateDatabase));
    table.Add(OfSession(FileOpen, Enabled::Always, &DatabaseSession::OpenDatabase));
    table.Add(OfSession(FileClose, Enabled::WithDatabase, &DatabaseSession::CloseDatabase));
    table.Add(OfSession(FileCreateBackup, Enabled::WithDatabase, &DatabaseSession::CreateBackup));
    table.Add(OfSession(FileChangePass, Enabled::WithDatabase, &DatabaseSession::ChangeMasterPassword));
    table.Add(OfSession(FileImportLdb, Enabled::WithDatabase, &DatabaseSession::MergeImport));
    table.Add(Export(FileExportTxt, ListingFormat::Text));
    table.Add(Export(FileExportHtml, ListingFormat::Html));
    table.Add({FileOpenFolder, Enabled::WithDatabase, OpenContainingFolder});
    table.Add({FileLock, Enabled::WithDatabase, [](CommandTicket& ticket) { ticket.Actions().LockNow(); }});
}
