#include "gui/mainwindow/EntryCommands.h"

#include "core/session/DatabaseSession.h"
#include "core/session/IPrompts.h"
#include "core/settings/BuiltinTexts.h"
#include "core/settings/Options.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/CommandTable.h"
#include "gui/mainwindow/CommandTicket.h"
#include "gui/mainwindow/EntryViews.h"

void AddEntry(EntryCommandContext& context)
{
    std::optional<Entry> values;
    for (;;) {
        std::optional<Entry> typed = context.runDialog(EditMode::Add, values, std::nullopt);
        if (!typed || !context.ticket.Confirm()) {
            return;
        }
        if (context.ticket.AddEntry(typed->Key(), typed->Fields()) == ChangeResult::Saved) {
            return;
        }
        values = std::move(typed);
    }
}

void EditEntry(EntryCommandContext& context)
{
    std::optional<Entry> values;
    std::optional<EntryKey> oldKey;
    for (;;) {
        std::optional<Entry> typed = context.runDialog(EditMode::Edit, values, context.views.CurrentKey());
        if (!typed || !context.ticket.Confirm()) {
            return;
        }
        // The edited entry is the one selected when the user first pressed OK; a repeat edits the same one.
        if (!oldKey) {
            oldKey = context.views.CurrentKey();
        }
        bool stillThere = false;
        context.ticket.Read([&](const CDataBase& entries) { stillThere = oldKey && entries.Find(*oldKey); });
        if (!stillThere) {
            return;
        }
        const ChangeResult result = context.ticket.ReplaceEntry(*oldKey, typed->Key(), typed->Fields());
        if (result == ChangeResult::Saved) {
            return;
        }
        if (result == ChangeResult::NotSaved) {
            context.views.SelectKey(*oldKey);
        }
        values = std::move(typed);
    }
}

bool DeleteCurrentEntry(EntryCommandContext& context)
{
    if (context.options.fRequestDelete &&
        !context.prompts.AskOkCancel(context.ticket.Texts().Text(TextId::DeleteQuestion))) {
        return false;
    }
    if (!context.ticket.Confirm()) {
        return false;
    }
    const std::optional<Entry> entry = context.views.CurrentEntry();
    if (!entry) {
        return false;
    }
    if (context.ticket.RemoveEntry(entry->Key()) == ChangeResult::Refused) {
        return false;
    }
    context.views.ClearSelectionMark();
    return true;
}

namespace {
// The entry dialog over the ticket's collection; it closes when the database locks or closes.
std::optional<Entry> RunEntryDialog(CommandTicket& ticket, EditMode mode, const std::optional<Entry>& values,
                                    const std::optional<EntryKey>& selected)
{
    std::optional<CDlgEdit> dialog;
    ticket.Session().Read([&](const CDataBase& entries) {
        dialog.emplace(mode, entries, ticket.Options(), ticket.Texts(), values, selected, ticket.Window());
    });
    if (!dialog || ticket.ExecShowingEntries(*dialog) != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog->Values();
}

EntryCommandContext ContextOf(CommandTicket& ticket)
{
    return {ticket.Session(), ticket.Views(), ticket.Options(), ticket.Prompts(),
            [&ticket](EditMode mode, const std::optional<Entry>& values, const std::optional<EntryKey>& selected) {
                return RunEntryDialog(ticket, mode, values, selected);
            }};
}

void RunAdd(CommandTicket& ticket)
{
    EntryCommandContext context = ContextOf(ticket);
    AddEntry(context);
}

void RunEdit(CommandTicket& ticket)
{
    EntryCommandContext context = ContextOf(ticket);
    EditEntry(context);
}

void RunDelete(CommandTicket& ticket)
{
    EntryCommandContext context = ContextOf(ticket);
    DeleteCurrentEntry(context);
}

void RunAddFromTray(CommandTicket& ticket)
{
    ticket.Actions().ShowFromTray();
    // Showing the window may have unlocked the database: the command starts with the database it brought back.
    ticket.Actions().RunCommand(CommandId::EditAddEntry);
}
} // namespace

void AddEntryCommands(CommandTable& table)
{
    table.Add({CommandId::EditAddEntry, Enabled::WithDatabase, RunAdd});
    table.Add({CommandId::EditEditEntry, Enabled::WithEntry, RunEdit});
    table.Add({CommandId::EditDeleteEntry, Enabled::WithEntry, RunDelete});
    table.Add({CommandId::TrayAddEntry, Enabled::WithDatabase, RunAddFromTray});
}
