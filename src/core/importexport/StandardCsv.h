#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/common/SecureString.h"

// A quotation mark that the standard grammar cannot place: a quoted field that never closes, or a closing quote
// followed by something other than a comma or a line end. `line` is the 1-based line of the file where it stands.
struct StandardCsvBrokenQuote
{
    std::size_t line;
};

// Reads comma-separated text as spreadsheets and browsers write it (see ReadStandardCsv), a record at a time. The
// text is UTF-8, checked by the caller; each value is decoded as it is copied, so a large file is never held twice.
class StandardCsvReader
{
public:
    explicit StandardCsvReader(std::string_view text);

    // The next record, or nothing at the end of the text. Its strings are used again by the next call; the caller
    // may take them over. Throws StandardCsvBrokenQuote.
    std::optional<std::span<SecureString>> Next() { return Next(std::vector<bool>()); }
    // The same, with the values of the columns not wanted left empty: the text is checked, not copied. A column
    // beyond the mask is wanted.
    std::optional<std::span<SecureString>> Next(const std::vector<bool>& wanted);
    // Where the next call reads from; MoveTo goes back there to read a record again.
    std::size_t Position() const { return position; }
    void MoveTo(std::size_t recordStart);

private:
    bool AtLineEnd() const;
    void ReadUnquoted(SecureString* value);
    void ReadQuoted(SecureString* value);
    bool SkipComma();
    void SkipLineEnd();

    std::string_view text;
    std::size_t position = 0;
    std::vector<SecureString, WipingAllocator<SecureString>> fields;
};

// Reads comma-separated text as spreadsheets and browsers write it: fields quoted only where needed, doubled quotes
// inside quoted fields, line breaks inside quoted fields, CR LF or LF line ends, a leading byte-order mark ignored.
// The text is UTF-8; an ill-formed sequence becomes U+FFFD.
// Calls onRecord(fields) for every record; blank lines are no records. Values are kept
// as they stand, line breaks inside quoted values included; the callee may take them over. Throws
// StandardCsvBrokenQuote.
void ReadStandardCsv(std::string_view text, const std::function<void(std::span<SecureString> fields)>& onRecord);
