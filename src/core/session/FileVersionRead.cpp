#include "core/session/FileVersionRead.h"

#include "core/database/DatabaseFile.h"
#include "core/settings/BuiltinTexts.h"

namespace {
// A sync tool that writes the file in place may still be writing it; after this many tries it counts as unreadable.
constexpr int ReadTries = 3;
} // namespace

FileVersionRead::FileVersionRead(const ITextSource& texts)
    : entries(kept, texts)
{}

FileVersionRead::Outcome FileVersionRead::Read(const std::filesystem::path& path, const SecureString& password)
{
    Outcome outcome = Outcome::Unreadable;
    for (int attempt = 0; attempt < ReadTries; ++attempt) {
        outcome = ReadOnce(path, password);
        // A missing file gives the reader's own message; a version still the same after the read was read whole.
        if (!version || FileVersion::At(path) == version) {
            return outcome;
        }
    }
    kept.text = entries.Texts().Text(TextId::FileKeepsChanging);
    return Outcome::Unreadable;
}

FileVersionRead::Outcome FileVersionRead::ReadOnce(const std::filesystem::path& path, const SecureString& password)
{
    entries.Clear();
    kept.text.clear();
    textBytesOfEntries.reset();
    version = FileVersion::At(path);
    RecordsRead records;
    const int result = ReadDatabase(entries, path, password, &records);
    if (result == ReadResult::InvalidPassword) {
        return Outcome::WrongPassword;
    }
    if (result != ReadResult::Done) {
        return Outcome::Unreadable;
    }
    if (records.damaged) {
        kept.text = entries.Texts().Text(TextId::OtherVersionDamaged);
        return Outcome::Unreadable;
    }
    if (IsTextOfCollection(entries, records)) {
        textBytesOfEntries = records.textBytes;
    }
    return Outcome::Read;
}
