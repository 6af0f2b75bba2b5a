#pragma once

#include <filesystem>
#include <string>

#include "core/common/Reporter.h"
#include "core/common/SecureString.h"

// How the readers of files to import (our own CSV, other programs' exports) fail, and the one place that turns a
// failure into the user's message, so that both readers say the same about the same file.

// The program's own refusal of a file or its content, shown with the error icon.
struct ImportRefusal
{
    std::u16string message;
};

// The file could not be opened or read.
struct ImportFileUnreadable
{};

extern const std::u16string NotUtf8Message;

// The whole file in wiped memory. Throws ImportRefusal for a file of the CSV size limit or more,
// ImportFileUnreadable for one that cannot be read.
SecureBytes ReadImportFile(const std::filesystem::path& path);

// Called inside a catch block: shows the message for the exception being handled, whatever it is.
void ReportImportFailure(IMessageReporter& reporter);
