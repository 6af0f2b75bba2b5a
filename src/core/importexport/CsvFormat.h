#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/common/AtomicFile.h"
#include "core/common/SecureString.h"
#include "core/database/DataBase.h"
#include "core/importexport/ImportedEntries.h"

// How the export writes line breaks and quotes. Described: every line feed, also one inside a value, as carriage
// return and line feed, every value quoted, the header's names as they are; a multi-line note shows up as carriage
// return, carriage return, line feed, which this program reads back as it was. Standard (RFC 4180): records end with
// carriage return and line feed, values are written as they are (quoted, quotes doubled), the header's names too,
// for files meant for other programs.
enum class CsvStyle
{
    Described,
    Standard,
};

// What the CSV export writes.
struct CsvExportOptions
{
    bool header = true;
    // Group, title, username, password, url, notes.
    std::array<bool, 6> fields{true, true, true, true, true, true};
    // Written between two fields of a line; may be empty. The reader does not need it.
    std::u16string delimiter = u",";
    // The standard style always writes a comma between fields.
    CsvStyle style = CsvStyle::Described;
};

// How the CSV import maps a file's fields onto entry fields.
struct CsvImportOptions
{
    // The first record is a header and is not imported.
    bool header = false;
    // For group, title, username, password, url and notes: the 1-based field of each record that supplies the
    // value, or NotMapped. A number that matches no field leaves the value empty.
    std::array<int, 6> fieldNumbers{1, 2, 3, 4, 5, 6};
    // Whether records the database already holds are left out.
    IdenticalEntries identical = IdenticalEntries::Add;

    static constexpr int NotMapped = -1;
};

// Whether two mapped fields take the same field number, which the import refuses before reading anything.
bool HasEqualFieldNumbers(const std::array<int, 6>& fieldNumbers);

// Files of this size or more are refused before reading.
inline constexpr std::uintmax_t CsvFileSizeLimit = 4294967296ULL;

// The export's text, lines ended by a line feed (the standard style: carriage return and line feed): an optional
// header of field names, then one line per entry in key order, every value quoted with its quotes doubled. Empty when
// no field is selected.
SecureString BuildCsv(const CDataBase& database, const CsvExportOptions& options);

// The bytes of the export file: BuildCsv as UTF-8, with the line ends of the style. Throws UnencodableText for an
// unpaired surrogate.
SecureBytes CsvFileBytes(const CDataBase& database, const CsvExportOptions& options);
// The same bytes, passed on in blocks as they are made, so that the export is never held whole.
void StreamCsvFile(const CDataBase& database, const CsvExportOptions& options, const ContentSink& sink);

// Writes CsvFileBytes to the file. Reports failures.
bool ExportCsv(const CDataBase& database, const std::filesystem::path& path, const CsvExportOptions& options,
               const FileSystemCalls& calls = FileSystemCalls::System());

// Reads the file, checks all of it, then adds one entry per record with AddRenaming. Nothing is added when the
// file is refused; every refusal is reported.
bool ImportCsv(CDataBase& database, const std::filesystem::path& path, const CsvImportOptions& options);

// ImportCsv on the bytes of a file already read.
bool ImportCsvBytes(CDataBase& database, std::string_view bytes, const CsvImportOptions& options);

// ImportCsvBytes that also counts what it added, renamed and skipped.
bool ImportCsvBytes(CDataBase& database, std::string_view bytes, const CsvImportOptions& options, ImportCounts& counts);
// ImportCsv that also counts.
bool ImportCsv(CDataBase& database, const std::filesystem::path& path, const CsvImportOptions& options,
               ImportCounts& counts);

// The entries of the file's records as the import reads them, in file order, without adding them anywhere. Throws
// what the import reports (ImportRefusal and others; see ReportImportFailure).
void ReadCsvEntries(std::string_view bytes, const CsvImportOptions& options, const ITextSource& texts,
                    const std::function<void(Entry&&)>& onEntry);
