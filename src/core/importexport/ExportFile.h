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
    // Line feeds are written as they are; the text has the line ends it needs.
    AsWritten,
};

// A character the file's encoding cannot hold (an unpaired surrogate).
class UnencodableText : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Whether the text holds a surrogate without its other half, which UTF-8 cannot represent.
bool HoldsUnpairedSurrogate(std::u16string_view text);

// The bytes of an export file: UTF-8 without byte-order mark, line ends as asked. Throws UnencodableText.
SecureBytes EncodeExportText(const SecureString& text, LineEnds lineEnds);

// Encodes an export's text as EncodeExportText does, from its pieces in order, and passes the bytes on in blocks of
// about 64 KiB, so that neither the text nor its bytes are ever held whole. Throws UnencodableText.
class ExportEncoder
{
public:
    ExportEncoder(LineEnds lineEnds, ContentSink sink);
    ExportEncoder(const ExportEncoder&) = delete;
    ExportEncoder& operator=(const ExportEncoder&) = delete;

    void Append(std::u16string_view piece);
    // Passes the last bytes on; a text that ends in half a surrogate pair is refused here.
    void Finish();

private:
    void AppendUnit(char16_t unit);
    void PassOn();

    LineEnds lineEnds;
    ContentSink sink;
    SecureBytes block;
    std::size_t used = 0;
    char16_t previous = 0;
    char16_t pendingHighSurrogate = 0;
};

// An export's text, made piece by piece: `piece` is called with consecutive parts of it, in order.
using ExportText = std::function<void(const std::function<void(std::u16string_view)>& piece)>;

// Encodes the whole text into bytes (for printing, tests and small exports).
SecureBytes EncodeExportText(const ExportText& text, LineEnds lineEnds);
// Encodes the text into the sink, block by block.
void StreamExportText(const ExportText& text, LineEnds lineEnds, const ContentSink& sink);

// Builds the file's bytes and writes them in one atomic replacement. Reports a failure of either step with the
// exports' messages and returns false; on success nothing is shown.
bool WriteExportFile(IMessageReporter& reporter, const std::filesystem::path& path,
                     const std::function<SecureBytes()>& buildBytes,
                     const FileSystemCalls& calls = FileSystemCalls::System());
// The same, with the text encoded into the file as it is made.
bool WriteExportFile(IMessageReporter& reporter, const std::filesystem::path& path, const ExportText& text,
                     LineEnds lineEnds, const FileSystemCalls& calls = FileSystemCalls::System());
