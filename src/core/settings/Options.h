#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/common/AtomicFile.h"

class IMessageReporter;

// The user's settings and their file. Each field is named by its key in the settings file; the first letter tells
// the kind: `f` a flag, `u` and `i` a signed 32-bit integer. `LastPath` and `Language` are strings.
class COptions
{
public:
    COptions() = default;
    COptions(const COptions&) = default;
    COptions& operator=(const COptions&) = default;

    // Fills the record from the settings file `file`. A missing or damaged file leaves every field as it was and shows
    // nothing; a failure of the XML layer is shown through the reporter and also leaves the fields alone.
    void Load(IMessageReporter& reporter, const std::filesystem::path& file);
    // Writes the record to the settings file `file`, whose folder must exist. Keeps
    // the order and the foreign elements of a well-formed existing file. A failure is shown through the reporter
    // and gives false; the file is then unchanged.
    bool Save(IMessageReporter& reporter, const std::filesystem::path& file, const FileReplacement& how = {}) const;

    // The two tip flags, by tip number (0 or 1). Throws std::out_of_range for another number.
    bool& Tip(int number);
    bool Tip(int number) const;

    bool operator==(const COptions&) const = default;

    bool fAutoRun = false;
    bool fAutoRunHide = false;
    bool fCloseHide = false;
    bool fLastDB = true;
    std::u16string LastPath;
    bool fRequestDelete = true;
    std::u16string Language;
    bool fTop = false;
    bool fHideUser = false;
    bool fHidePass = true;
    bool fGroupsTree = true;
    bool fColumn0 = true;
    bool fColumn1 = true;
    bool fColumn2 = true;
    bool fColumn3 = true;
    bool fClearClipboardTime = false;
    std::int32_t uClearClipboardTime = 10;
    bool fClearClipboardExit = false;
    bool fLockDBAuto = false;
    std::int32_t uLockDBAutoTime = 60;
    bool fLockDBMin = false;
    bool fPassGenUpperLetters = true;
    bool fPassGenLowerLetters = true;
    bool fPassGenNumbers = true;
    bool fPassGenSpecSymbols = false;
    std::int32_t iPassGenLength = 16;
    bool fPassGenAuto = true;
    bool fPasteMenuEdit = false;
    bool fPasteMenuTray = false;
    bool fAutoLoginMenuEdit = false;
    bool fAutoLoginMenuTray = false;
    bool fGroupEntriesTray = false;
    bool fTip0 = true;
    bool fTip1 = true;
};
