#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/importexport/CsvFormat.h"

// Looks for what would make the CSV import refuse a file, and says where: "line 3: a field is not in double quotes".
// The import itself only tells that a file is refused; a person fixing the file by hand needs the line. Checks that
// every value is in double quotes (outside them only blanks and one delimiter between two fields), that every
// record has as many fields as the first, that every quote is closed, that the field numbers exist in the first
// record, and that the text is UTF-8 without NUL or the database's field terminator.
// Returns the first problem, or nullopt when the import will take the file.
std::optional<std::string> FindCsvProblem(std::string_view bytes, const CsvImportOptions& options);
