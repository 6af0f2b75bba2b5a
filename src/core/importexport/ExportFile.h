#pragma once

#include <filesystem>
#include <functional>
#include <stdexcept>

#include "core/common/AtomicFile.h"
#include "core/common/Reporter.h"
#include "core/common/SecureString.h"

// How line ends of an export's text reach the file.
enum class LineEnds
{
    // Every line feed becomes carriage return plus line feed, also one that follows a carriage return: the CSV
    // reader undoes exactly this, so values keep their line breaks through export and import.
    CrLfForEveryLf,
    // A line feed without a carriage return before it becomes carriage return plus line feed; text that already
    // ends its lines with both is written as it is, so no line ends with a doubled carriage return.
    CrLfForBareLf,
};

// A character the file's encoding cannot hold (an unpaired surrogate).
class UnencodableText : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The bytes of an export file: UTF-8 without byte-order mark, line ends as asked. Throws UnencodableText.
SecureBytes EncodeExportText(const SecureString& text, LineEnds lineEnds);

// Builds the file's bytes and writes them in one atomic replacement. Reports a failure of either step with the
// exports' messages and returns false; on success nothing is shown.
bool WriteExportFile(IMessageReporter& reporter, const std::filesystem::path& path,
                     const std::function<SecureBytes()>& buildBytes,
                     const FileSystemCalls& calls = FileSystemCalls::System());
