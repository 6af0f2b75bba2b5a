#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string_view>

#include "core/common/SecureString.h"

// A quotation mark that the standard grammar cannot place: a quoted field that never closes, or a closing quote
// followed by something other than a comma or a line end. `line` is the 1-based line of the file where it stands.
struct StandardCsvBrokenQuote
{
    std::size_t line;
};

// Reads comma-separated text as spreadsheets and browsers write it: fields quoted only where needed, doubled quotes
// inside quoted fields, line breaks inside quoted fields, CR LF or LF line ends, a leading byte-order mark ignored.
// Calls onRecord(fields) for every record; blank lines are no records. Values are kept
// as they stand, line breaks inside quoted values included; the callee may take them over. Throws
// StandardCsvBrokenQuote.
void ReadStandardCsv(std::u16string_view text, const std::function<void(std::span<SecureString> fields)>& onRecord);
