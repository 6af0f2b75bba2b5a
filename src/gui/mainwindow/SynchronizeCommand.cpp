#include "gui/mainwindow/SynchronizeCommand.h"

#include "core/session/DatabaseSession.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/CommandTable.h"
#include "gui/mainwindow/CommandTicket.h"

void SynchronizeWithFile(CommandTicket& ticket)
{
    // The session asks through the window's prompts and confirms the command's ticket after each of them, the same
    // steps lockmere-cli sync takes without a window.
    ticket.Lifecycle().SynchronizeWithFile(ticket.Session());
}

void AddSynchronizeCommand(CommandTable& table)
{
    table.Add({CommandId::FileSynchronize, Enabled::WithDatabase, SynchronizeWithFile});
}
