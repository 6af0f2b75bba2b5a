#include "gui/mainwindow/ViewCommands.h"

#include <QDesktopServices>
#include <QDir>

#include "core/settings/BuiltinTexts.h"
#include "core/settings/Options.h"
#include "gui/common/SecureText.h"
#include "gui/mainwindow/ClipboardClearer.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/CommandTable.h"
#include "gui/mainwindow/CommandTicket.h"
#include "gui/mainwindow/EntryAddress.h"
#include "gui/mainwindow/EntryViews.h"

using namespace CommandId;

namespace {
void CopyField(CommandTicket& ticket, EntryField field)
{
    const std::optional<Entry> entry = ticket.Views().CurrentEntry();
    ticket.Clipboard().Copy(entry ? FieldOf(*entry, field) : SecureString());
}

void FillFromCurrentEntry(CommandTicket& ticket, FillKind kind)
{
    if (std::optional<Entry> entry = ticket.Views().CurrentEntry()) {
        ticket.Actions().FillForm(kind, *entry, ReturnWay::AltTab);
    }
}

void OpenEntryAddress(CommandTicket& ticket)
{
    const std::optional<Entry> entry = ticket.Views().CurrentEntry();
    if (entry && !entry->url.empty()) {
        QDesktopServices::openUrl(EntryAddressUrl(ToQString(entry->url), QDir::homePath()));
    }
}

void ClearClipboard(CommandTicket& ticket)
{
    if (ticket.Clipboard().ClearNow()) {
        ticket.Reporter().ShowMessage(ticket.Texts().Text(TextId::ClipboardCleared), MessageIcon::Information);
    }
}

bool SortByGroup(const CommandState& state)
{
    return state.databaseOpen && !state.groupSelected;
}

template <bool COptions::*shown> bool SortByColumn(const CommandState& state)
{
    return state.databaseOpen && state.options->*shown;
}

WindowCommand Sort(int id, EnabledRule enabled, EntryField field)
{
    return {id, enabled, [field](CommandTicket& ticket) { ticket.Views().Sort(field); }};
}
} // namespace

void AddViewCommands(CommandTable& table)
{
    table.Add({EditCopyUser, Enabled::WithEntry, [](CommandTicket& t) { CopyField(t, EntryField::Username); }});
    table.Add({EditCopyPassword, Enabled::WithEntry, [](CommandTicket& t) { CopyField(t, EntryField::Password); }});
    table.Add({EditCopyUrl, Enabled::WithEntry, [](CommandTicket& t) { CopyField(t, EntryField::Url); }});
    table.Add({EditPasteUsername, Enabled::WithEntry,
               [](CommandTicket& t) { FillFromCurrentEntry(t, FillKind::PasteUsername); }});
    table.Add({EditPastePassword, Enabled::WithEntry,
               [](CommandTicket& t) { FillFromCurrentEntry(t, FillKind::PastePassword); }});
    table.Add(
        {EditAutoLogin, Enabled::WithEntry, [](CommandTicket& t) { FillFromCurrentEntry(t, FillKind::AutoLogin); }});
    table.Add({EditOpenUrl, Enabled::WithEntry, OpenEntryAddress});
    table.Add({EditClearClipboard, Enabled::Always, ClearClipboard});
    table.Add(Sort(EditSortGroup, SortByGroup, EntryField::Group));
    table.Add(Sort(EditSortTitle, Enabled::WithDatabase, EntryField::Title));
    table.Add(Sort(EditSortUsername, SortByColumn<&COptions::fColumn0>, EntryField::Username));
    table.Add(Sort(EditSortPassword, SortByColumn<&COptions::fColumn1>, EntryField::Password));
    table.Add(Sort(EditSortUrl, SortByColumn<&COptions::fColumn2>, EntryField::Url));
    table.Add(Sort(EditSortNotes, SortByColumn<&COptions::fColumn3>, EntryField::Notes));
}
