#pragma once

#include <filesystem>

#include "core/common/SecureString.h"
#include "core/database/DataBase.h"

// The plain-text listing of every entry in key order: six labelled lines and an empty line per entry, each line
// ended by carriage return and line feed. Printing puts this text on paper.
SecureString BuildTextListing(const CDataBase& database);

// The HTML table of every entry in key order, with the field names as headings. Values and headings are escaped
// and line breaks inside them become <br>, so that the page shows exactly what the entries hold.
SecureString BuildHtmlTable(const CDataBase& database);

// Write the listing or the table to the file as UTF-8; report failures and return false.
bool ExportTextListing(const CDataBase& database, const std::filesystem::path& path);
bool ExportHtml(const CDataBase& database, const std::filesystem::path& path);
