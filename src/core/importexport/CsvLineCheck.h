#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/importexport/CsvFormat.h"

// A problem of a CSV file, with the 1-based line where it stands.
struct CsvProblem
{
    std::size_t line;
    std::string text;
};

// Looks for what would make the CSV import refuse a file, and says where: line 3, "a field is not in double quotes".
// The described import only tells that a file is refused; a person fixing the file by hand needs the line. Checks that
// every value is in double quotes (outside them only blanks and one delimiter between two fields), that every
// record has as many fields as the first, that every quote is closed, that the field numbers exist in the first
// record, and that the text is UTF-8 without NUL or the database's field terminator. A leading byte-order mark is no
// part of the text. Returns the first problem, or nullopt when the import will take the file.
std::optional<CsvProblem> FindCsvProblem(std::string_view bytes, const CsvImportOptions& options);
