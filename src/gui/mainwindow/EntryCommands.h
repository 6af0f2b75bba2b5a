#pragma once

#include <functional>
#include <optional>

#include "core/database/DataBase.h"
#include "gui/dialogs/DlgEdit.h"

class COptions;
class CommandTable;
class EntryViews;
class IPrompts;
class SessionTicket;

// Runs the entry dialog: the mode, the values of a repeat (none the first time) and the key of the entry selected
// in the list. Gives the six values on OK, none on Cancel or when the database went while it was open.
using EntryDialogRunner = std::function<std::optional<Entry>(EditMode mode, const std::optional<Entry>& values,
                                                             const std::optional<EntryKey>& selected)>;

// What the Add, Edit and Delete commands work with: the ticket of the database they started with (which saves and
// undoes a change the save could not keep), the views, the settings, the questions and the entry dialog. After
// every dialog they confirm the ticket before they touch the views or the collection.
struct EntryCommandContext
{
    SessionTicket& ticket;
    EntryViews& views;
    const COptions& options;
    IPrompts& prompts;
    EntryDialogRunner runDialog;
};

// Adds an entry; a duplicate key or a failed save brings the dialog back with what the user typed.
void AddEntry(EntryCommandContext& context);
// Edits the current entry; a clash with another key or a failed save brings the dialog back with what was typed.
void EditEntry(EntryCommandContext& context);
// Deletes the current entry after the confirmation the settings ask for; true when an entry was erased.
bool DeleteCurrentEntry(EntryCommandContext& context);

// Add Entry (also from the tray, after the window is back), Edit/View Entry and Delete Entry.
void AddEntryCommands(CommandTable& table);
