#include "gui/mainwindow/WindowCommands.h"

#include <QDesktopServices>
#include <QUrl>

#include "core/settings/Options.h"
#include "core/settings/WebLinks.h"
#include "gui/common/QtText.h"
#include "gui/dialogs/AboutDlg.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/CommandTable.h"
#include "gui/mainwindow/CommandTicket.h"

using namespace CommandId;

namespace {
void OpenAddress(const std::u16string& address)
{
    QDesktopServices::openUrl(QUrl(ToQString(address)));
}

void ShowAbout(CommandTicket& ticket)
{
    CAboutDlg about(ticket.Texts(), ticket.Options().Language, ticket.Window());
    about.exec();
}

void HelpPage(CommandTicket& ticket)
{
    OpenAddress(HelpPageAddress(ticket.Options().Language));
}

void UpdatePage(CommandTicket& ticket)
{
    OpenAddress(UpdatePageAddress(ticket.Options().Language));
}

// The tray's Options: the window comes back first, then the options dialog runs as from the menu bar.
void OptionsFromTray(CommandTicket& ticket)
{
    ticket.Actions().ShowFromTray();
    ticket.Actions().RunCommand(CommandId::Options);
}
} // namespace

void AddWindowCommands(CommandTable& table)
{
    table.Add({CommandId::Options, Enabled::Always, [](CommandTicket& ticket) { ticket.Actions().RunOptions(); }});
    table.Add({Help, Enabled::Always, HelpPage});
    table.Add({TrayHelp, Enabled::Always, HelpPage});
    table.Add({HelpUpdate, Enabled::Always, UpdatePage});
    table.Add({TrayUpdate, Enabled::Always, UpdatePage});
    table.Add({HelpAbout, Enabled::Always, ShowAbout});
    table.Add({TrayAbout, Enabled::Always, ShowAbout});
    table.Add({TrayShow, Enabled::Always, [](CommandTicket& ticket) { ticket.Actions().ShowFromTray(); }});
    table.Add({TrayOptions, Enabled::Always, OptionsFromTray});
    table.Add({TrayExit, Enabled::Always, [](CommandTicket& ticket) { ticket.Actions().Exit(); }});
}
