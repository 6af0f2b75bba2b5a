#pragma once

#include <functional>
#include <map>

class COptions;
class CommandTicket;
struct WindowParts;

// What decides whether a command of the main window is offered: D, S and G of the menu's enabling, and the settings
// that show or hide the list's columns.
struct CommandState
{
    bool databaseOpen = false;
    bool hasSelection = false;
    bool groupSelected = false;
    const COptions* options = nullptr;
};

// When a command is offered; a command that is not offered is not run either, from wherever it comes (menu, tool
// bar, shortcut, context menu or tray).
using EnabledRule = bool (*)(const CommandState& state);

namespace Enabled {
bool Always(const CommandState& state);
// A database is open and not locked.
bool WithDatabase(const CommandState& state);
// ... and the list has a current entry.
bool WithEntry(const CommandState& state);
} // namespace Enabled

// A command of the main window. The handler gets the ticket of the session the command started in; it reaches the
// collection and the views only through it, so that a dialog during which the database is locked or closed cannot
// lead it to act on the wrong entries.
struct WindowCommand
{
    int id;
    EnabledRule enabled;
    std::function<void(CommandTicket& ticket)> run;
};

// Every command of the main window, by id.
class CommandTable
{
public:
    // A second command with the same id replaces the first.
    void Add(WindowCommand command);
    bool Has(int id) const;
    bool IsEnabled(int id, const CommandState& state) const;
    // Runs the command with a ticket taken now, when it is enabled; false when it is unknown or disabled. A handler
    // that reaches the views through a ticket gone stale ends there, its user told once.
    bool Run(int id, const CommandState& state, WindowParts& parts) const;

private:
    std::map<int, WindowCommand> commands;
};
