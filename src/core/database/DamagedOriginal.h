#pragma once

#include <filesystem>
#include <optional>

#include "core/database/DataBase.h"
#include "core/database/DatabaseFile.h"

// A database file whose decrypted text was damaged: the whole records before the damage are what can be changed,
// and the original bytes are kept beside the file as NAME.damaged before the first save replaces it, so that no save
// ever destroys what could not be read. Both the desktop program and the command line open files through this rule.
class DamagedOriginal
{
public:
    // After a successful read of `path`: when the text was damaged, tells the user once how many entries were read
    // and where the original will be kept, and remembers to keep it.
    void Opened(const CDataBase& database, const std::filesystem::path& path, const RecordsRead& read);
    // Run as the check of a save over the file (under its lock): copies the damaged original beside it once.
    // Throws TargetCheckFailed when the copy cannot be made, so that the save does not go ahead.
    void KeepBeforeReplacing(const ITextSource& texts);
    void Forget() { path.reset(); }
    bool Pending() const { return path.has_value(); }

    // The first free name NAME.damaged, NAME.damaged1, NAME.damaged2 ... beside the file.
    static std::filesystem::path FreeName(const std::filesystem::path& original);

private:
    std::optional<std::filesystem::path> path;
};
