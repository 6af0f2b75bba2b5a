#pragma once

#include "core/session/SessionTicket.h"
#include "gui/mainwindow/WindowParts.h"

class QDialog;

// Thrown when a command reaches the views through a ticket whose database has gone; the command table's one
// handler ends the command there.
struct StaleTicket
{};

// The ticket a command of the main window is handed when it starts: the session's ticket, through which it reaches
// the collection, the window's views while the ticket is live, and the window's other parts.
class CommandTicket
{
public:
    explicit CommandTicket(WindowParts& parts);

    bool IsLive() const { return session.IsLive(); }
    // True while live; the first time it finds the ticket stale it tells the user that nothing was changed.
    bool Confirm() { return session.Confirm(); }
    // The collection, the file and the changes of the database the command started with.
    SessionTicket& Session() { return session; }
    // The list and the tree; throws StaleTicket, after telling the user, once the database has gone.
    EntryViews& Views();

    // Runs a dialog that shows entries: it closes itself when the database locks or closes while it is open, and a
    // stale ticket does not show it at all. Gives the dialog's result, Rejected when it was closed that way.
    int ExecShowingEntries(QDialog& dialog);
    // Closes `dialog` (as cancelled) when the database locks or closes while the ticket lives.
    void CloseWhenEntriesGo(QDialog& dialog);

    DatabaseSession& Lifecycle() { return parts.session; }
    IPrompts& Prompts() { return parts.prompts; }
    IFileChooser& Files() { return parts.files; }
    const ITextSource& Texts() const { return parts.texts; }
    COptions& Options() { return parts.options; }
    IMessageReporter& Reporter() { return parts.reporter; }
    QWidget* Window() { return parts.window; }
    ClipboardClearer& Clipboard() { return parts.clipboard; }
    IWindowActions& Actions() { return parts.actions; }

private:
    WindowParts& parts;
    SessionTicket session;
};
