#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/common/Reporter.h"
#include "core/common/SecureString.h"
#include "core/common/TextSource.h"

// How the readers of files to import (our own CSV, other programs' exports) fail, and the one place that turns a
// failure into the user's message, so that both readers say the same about the same file.

// The program's own refusal of a file or its content, shown with the error icon. `line` is the 1-based line of the
// file where the problem stands, 0 when it is not one line's (or the message names it already).
struct ImportRefusal
{
    std::u16string message;
    std::size_t line = 0;
};

// The file could not be opened or read.
struct ImportFileUnreadable
{};

extern const std::u16string NotUtf8Message;

// The bytes after a UTF-8 byte-order mark, as Excel and Notepad write one at the start of a file.
std::string_view WithoutByteOrderMark(std::string_view bytes);

// Where the bytes hold a NUL or the database's field terminator, which no entry may hold (the saved file would cut it
// short); npos when they hold neither. Both are ASCII, so they are looked for in the UTF-8 bytes themselves.
std::size_t FirstForbiddenCharacter(std::string_view bytes);

// The 1-based line of the file at which the byte at `position` stands.
std::size_t LineAt(std::string_view bytes, std::size_t position);

// The whole file in wiped memory. Throws ImportRefusal for a file of the CSV size limit or more,
// ImportFileUnreadable for one that cannot be read.
SecureBytes ReadImportFile(const std::filesystem::path& path);

// Called inside a catch block: shows the message for the exception being handled, whatever it is.
void ReportImportFailure(IMessageReporter& reporter);

// The same, the message preceded by the file (when given) and the line of a refusal that has one:
// "FILE: line 3: MESSAGE".
void ReportImportFailure(IMessageReporter& reporter, const ITextSource& texts, const std::filesystem::path* file);
