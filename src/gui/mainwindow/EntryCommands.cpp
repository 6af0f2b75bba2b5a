#include "gui/mainwindow/EntryCommands.h"

#include "core/session/DatabaseSession.h"
#include "core/settings/BuiltinTexts.h"
#include "core/settings/Options.h"
#include "gui/mainwindow/EntryViews.h"

void AddEntry(EntryCommandContext& context)
{
    const std::uint64_t startedWith = context.session.Generation();
    std::optional<Entry> values;
    for (;;) {
        std::optional<Entry> typed = context.runDialog(EditMode::Add, values, std::nullopt);
        if (!typed || !context.session.CheckStillOpen(startedWith)) {
            return;
        }
        if (context.session.AddEntry(typed->Key(), typed->Fields()) == ChangeResult::Saved) {
            return;
        }
        values = std::move(typed);
    }
}

void EditEntry(EntryCommandContext& context)
{
    const std::uint64_t startedWith = context.session.Generation();
    std::optional<Entry> values;
    std::optional<EntryKey> oldKey;
    for (;;) {
        std::optional<Entry> typed = context.runDialog(EditMode::Edit, values, context.views.CurrentKey());
        if (!typed || !context.session.CheckStillOpen(startedWith)) {
            return;
        }
        // The edited entry is the one selected when the user first pressed OK; a repeat edits the same one.
        if (!oldKey) {
            oldKey = context.views.CurrentKey();
        }
        if (!oldKey || !context.database.Find(*oldKey)) {
            return;
        }
        const ChangeResult result = context.session.ReplaceEntry(*oldKey, typed->Key(), typed->Fields());
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
        !context.prompts.AskOkCancel(context.database.Texts().Text(TextId::DeleteQuestion))) {
        return false;
    }
    const std::optional<Entry> entry = context.views.CurrentEntry();
    if (!entry) {
        return false;
    }
    if (context.session.RemoveEntry(entry->Key()) == ChangeResult::Refused) {
        return false;
    }
    context.views.ClearSelectionMark();
    return true;
}
