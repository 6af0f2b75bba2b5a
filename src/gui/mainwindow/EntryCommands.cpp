#include "gui/mainwindow/EntryCommands.h"

#include "core/database/DatabaseSession.h"
#include "core/settings/Options.h"
#include "gui/mainwindow/EntryViews.h"

namespace {
constexpr int DeleteQuestion = 154;
} // namespace

void AddEntry(EntryCommandContext& context)
{
    const std::uint64_t startedWith = context.session.Generation();
    std::optional<Entry> values;
    for (;;) {
        std::optional<Entry> typed = context.runDialog(EditMode::Add, values, std::nullopt);
        if (!typed || !context.session.CheckStillOpen(startedWith)) {
            return;
        }
        // An insertion leaves every listed row where it is, so the list stays valid while the save reports.
        if (context.database.Add(typed->Key(), typed->Fields()) && context.session.SaveAfterAdd(typed->Key())) {
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
        const std::optional<Entry> before = oldKey ? context.database.Find(*oldKey) : std::nullopt;
        if (!before) {
            return;
        }
        if (context.database.Replace(typed->Key(), *oldKey, typed->Fields())) {
            // The replaced entry's row is gone from the collection: the list must not show it while the save
            // reports, nor afterwards.
            context.views.FillViews(true);
            const bool saved = context.session.SaveAfterEdit(*before, typed->Key());
            context.views.FillViews(true);
            if (saved) {
                return;
            }
            context.views.SelectKey(*oldKey);
        }
        values = std::move(typed);
    }
}

bool DeleteCurrentEntry(EntryCommandContext& context)
{
    if (context.options.fRequestDelete && !context.prompts.AskOkCancel(context.database.Texts().Text(DeleteQuestion))) {
        return false;
    }
    const std::optional<Entry> entry = context.views.CurrentEntry();
    if (!entry) {
        return false;
    }
    if (context.database.Remove(entry->Key()) != 1) {
        return false;
    }
    context.views.FillViews(true);
    context.session.SaveAfterDelete(*entry);
    context.views.FillViews(true);
    context.views.ClearSelectionMark();
    return true;
}
