#pragma once

#include <filesystem>
#include <optional>

#include "core/common/SecureString.h"

class CDataBase;
class QPageLayout;

// The printed listing as a PDF document in memory, on the page and at the resolution the print dialog was given, so
// that the file can be written as every other file is: whole or not at all, readable by its owner only. The bytes hold
// the passwords in clear and are wiped when released. None when the document could not be made; no bytes for an empty
// database, which prints nothing.
std::optional<SecureBytes> RenderPdfListing(const CDataBase& database, const QPageLayout& page, int resolution);

// Writes the document to `file` atomically, mode 0600 for a new file. Throws FileWriteError.
void WritePdfListing(const std::filesystem::path& file, const SecureBytes& document);
