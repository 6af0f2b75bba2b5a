#include "gui/mainwindow/CommandTable.h"

#include "core/settings/Options.h"
#include "gui/mainwindow/CommandTicket.h"

bool Enabled::Always(const CommandState&)
{
    return true;
}

bool Enabled::WithDatabase(const CommandState& state)
{
    return state.databaseOpen;
}

bool Enabled::WithEntry(const CommandState& state)
{
    return state.databaseOpen && state.hasSelection;
}

void CommandTable::Add(WindowCommand command)
{
    const int id = command.id;
    commands.insert_or_assign(id, std::move(command));
}

bool CommandTable::Has(int id) const
{
    return commands.count(id) != 0;
}

bool CommandTable::IsEnabled(int id, const CommandState& state) const
{
    const auto found = commands.find(id);
    return found != commands.end() && found->second.enabled(state);
}

bool CommandTable::Run(int id, const CommandState& state, WindowParts& parts) const
{
    if (!IsEnabled(id, state)) {
        return false;
    }
    CommandTicket ticket(parts);
    try {
        commands.at(id).run(ticket);
    } catch (const StaleTicket&) {
        // The ticket has told the user that nothing was changed.
    }
    return true;
}
