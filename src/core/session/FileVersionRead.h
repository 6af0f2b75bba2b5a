#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/common/FileVersion.h"
#include "core/common/Reporter.h"
#include "core/common/SecureString.h"
#include "core/database/DataBase.h"
#include "core/database/RecordReader.h"

// A version of the open database's file that another program wrote, read into a collection of its own under the
// master password, without a word to the user: the caller decides what to say. Only a whole, undamaged version
// counts as read, because what it lacks would otherwise be taken for removals.
class FileVersionRead
{
public:
    enum class Outcome
    {
        Read,
        // It does not open with the password: another password was set elsewhere, or it is no database of ours.
        WrongPassword,
        // Missing, unreadable or damaged; `Problem` says why.
        Unreadable,
    };

    explicit FileVersionRead(const ITextSource& texts);
    FileVersionRead(const FileVersionRead&) = delete;
    FileVersionRead& operator=(const FileVersionRead&) = delete;

    // Reads the file now at `path`; a version that changes while it is read is read again, a few times at most.
    Outcome Read(const std::filesystem::path& path, const SecureString& password);

    CDataBase& Entries() { return entries; }
    // The version that was read.
    const std::optional<FileVersion>& Version() const { return version; }
    // The length of the version's text, when the text is byte for byte what a save of the entries writes (see
    // IsTextOfCollection); nothing otherwise. Found while reading, as it walks every entry.
    const std::optional<std::size_t>& TextBytesOfEntries() const { return textBytesOfEntries; }
    // The reader's message for an unreadable version.
    const std::u16string& Problem() const { return kept.text; }

private:
    // Keeps the reader's message instead of showing it.
    class KeptMessage : public IMessageReporter
    {
    public:
        void ShowMessage(const std::u16string& message, MessageIcon) override { text = message; }
        std::u16string text;
    };

    Outcome ReadOnce(const std::filesystem::path& path, const SecureString& password);

    KeptMessage kept;
    CDataBase entries;
    std::optional<FileVersion> version;
    std::optional<std::size_t> textBytesOfEntries;
};
