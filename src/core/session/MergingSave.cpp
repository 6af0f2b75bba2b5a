#include "core/session/MergingSave.h"

#include "core/settings/BuiltinTexts.h"

void MergingSave::TakeBase(const CDataBase& database)
{
    if (!base) {
        base = EntryFingerprints::Of(database);
    }
}

void MergingSave::ForgetBase()
{
    base.reset();
}

void MergingSave::Saved(const CDataBase& database, const std::optional<std::vector<EntryKey>>& touched)
{
    if (!base || !touched) {
        base.reset();
        return;
    }
    for (const EntryKey& key : *touched) {
        base->Update(database, key);
    }
}

FileVersionRead::Outcome MergingSave::ReadTheirs(const std::filesystem::path& path, const SecureString& password,
                                                 const ITextSource& texts)
{
    theirs = std::make_unique<FileVersionRead>(texts);
    return theirs->Read(path, password);
}

void MergingSave::MergeInto(CDataBase& ours)
{
    MergeOutcome outcome = ThreeWayMerge(*base, theirs->Entries(), ours);
    base = EntryFingerprints::Of(theirs->Entries());
    merged = true;
    for (MergeConflict& conflict : outcome.conflicts) {
        conflicts.push_back(std::move(conflict));
    }
}

const std::optional<FileVersion>& MergingSave::TheirVersion() const
{
    return theirs->Version();
}

std::u16string MergingSave::RefusalText(FileVersionRead::Outcome outcome) const
{
    const ITextSource& texts = theirs->Entries().Texts();
    if (outcome == FileVersionRead::Outcome::WrongPassword) {
        return texts.Text(TextId::SaveRefusedOtherPassword);
    }
    return texts.Text(TextId::SaveRefusedUnreadable) + u"\n\n" + theirs->Problem();
}

void MergingSave::Finish(bool saved, CDataBase& ours)
{
    if (merged) {
        if (!saved) {
            ours.SwapEntries(theirs->Entries());
        }
        // After a merge the collection is no longer the base and the change alone: the next change takes it anew.
        base.reset();
    }
    theirs.reset();
    merged = false;
    conflicts.clear();
}

std::u16string ConflictReport(const std::vector<MergeConflict>& conflicts, const ITextSource& texts)
{
    if (conflicts.empty()) {
        return {};
    }
    std::u16string report = texts.Text(TextId::MergeKeptBoth);
    for (const MergeConflict& conflict : conflicts) {
        report += u"\n" + FromSecure(conflict.ours.group) + u" / " + FromSecure(conflict.key.title) + u" \u2192 " +
                  FromSecure(conflict.ours.title);
    }
    return report;
}
