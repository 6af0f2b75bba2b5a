#pragma once

#include <QObject>

#include "gui/mainwindow/FormFiller.h"

class ClipboardClearer;
class COptions;
class DatabaseSession;
class EntryViews;
class IFileChooser;
class IMessageReporter;
class IPrompts;
class ITextSource;
class QWidget;
struct EntryKey;

// What the commands ask of the main window itself.
class IWindowActions
{
public:
    virtual ~IWindowActions() = default;
    // Runs the options dialog and, on OK, saves and applies the new settings. True on OK.
    virtual bool RunOptions() = 0;
    // Ends the window, and with it the program.
    virtual void Exit() = 0;
    // Brings the window back from the notification area (unlocking a locked database on the way).
    virtual void ShowFromTray() = 0;
    // Locks at once and goes to the notification area.
    virtual void LockNow() = 0;
    // Types the entry's values into the previously active window.
    virtual void FillForm(FillKind kind, const Entry& entry, ReturnWay way) = 0;
    // Selects the entry in the list and runs the Edit command on it.
    virtual void EditEntryOf(const EntryKey& key) = 0;
    // Runs another command as the user would, with a ticket of its own.
    virtual void RunCommand(int command) = 0;
};

// Tells the windows that show entries that the collection is about to go: the database locks or closes.
class EntriesGoing : public QObject
{
    Q_OBJECT
signals:
    void going();
};

// The main window's parts that its commands work with. The collection and the views are not among them: a command
// reaches those through its CommandTicket.
struct WindowParts
{
    // The open database's lifecycle: New, Open, Close, backups, merges and re-keying check their own tickets.
    DatabaseSession& session;
    EntryViews& views;
    IPrompts& prompts;
    IFileChooser& files;
    const ITextSource& texts;
    COptions& options;
    IMessageReporter& reporter;
    QWidget* window;
    ClipboardClearer& clipboard;
    IWindowActions& actions;
    EntriesGoing& entriesGoing;
};
