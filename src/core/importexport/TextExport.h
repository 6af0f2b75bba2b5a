#pragma once

#include <filesystem>

#include "core/common/AtomicFile.h"

#include "core/common/SecureString.h"
#include "core/database/DataBase.h"

// The plain-text listing of every entry in key order: six labelled lines and an empty line per entry, each line
// ended by carriage return and line feed. Printing puts this text on paper.
SecureString BuildTextListing(const CDataBase& database);

// The HTML table of every entry in key order, with the field names as headings. Values and headings are escaped
// and line breaks inside them become <br>, so that the page shows exactly what the entries hold.
SecureString BuildHtmlTable(const CDataBase& database);

// The bytes of the export files: UTF-8, every line ended once by carriage return and line feed. Throw
// UnencodableText for an unpaired surrogate.
SecureBytes TextListingFileBytes(const CDataBase& database);
SecureBytes HtmlFileBytes(const CDataBase& database);

// The same bytes, passed on in blocks as they are made, so that the export is never held whole.
void StreamTextListingFile(const CDataBase& database, const ContentSink& sink);
void StreamHtmlFile(const CDataBase& database, const ContentSink& sink);

// Write those bytes to the file; report failures and return false.
bool ExportTextListing(const CDataBase& database, const std::filesystem::path& path,
                       const FileSystemCalls& calls = FileSystemCalls::System());
bool ExportHtml(const CDataBase& database, const std::filesystem::path& path,
                const FileSystemCalls& calls = FileSystemCalls::System());
