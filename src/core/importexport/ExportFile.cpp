#include "core/importexport/ExportFile.h"

#include <new>

#include "core/common/AtomicFile.h"

namespace {
const std::u16string SaveFailedMessage = u"An exception occurred when attempting to save the file.";
const std::u16string NoMemoryMessage = u"Not enough memory.";
const std::u16string OtherFailureMessage = u"An exception occurred.";

// Encoded bytes are passed on in blocks of about this size.
constexpr std::size_t BlockBytes = 64 * 1024;

bool IsHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Writes the code point's UTF-8 bytes at `out` and returns the place after them.
unsigned char* PutCodePoint(unsigned char* out, char32_t value)
{
    if (value < 0x80) {
        *out++ = static_cast<unsigned char>(value);
    } else if (value < 0x800) {
        *out++ = static_cast<unsigned char>(0xC0 | (value >> 6));
        *out++ = static_cast<unsigned char>(0x80 | (value & 0x3F));
    } else if (value < 0x10000) {
        *out++ = static_cast<unsigned char>(0xE0 | (value >> 12));
        *out++ = static_cast<unsigned char>(0x80 | ((value >> 6) & 0x3F));
        *out++ = static_cast<unsigned char>(0x80 | (value & 0x3F));
    } else {
        *out++ = static_cast<unsigned char>(0xF0 | (value >> 18));
        *out++ = static_cast<unsigned char>(0x80 | ((value >> 12) & 0x3F));
        *out++ = static_cast<unsigned char>(0x80 | ((value >> 6) & 0x3F));
        *out++ = static_cast<unsigned char>(0x80 | (value & 0x3F));
    }
    return out;
}

// Runs the write and reports its failure with the exports' messages.
bool ReportingFailures(IMessageReporter& reporter, const std::function<void()>& write)
{
    try {
        write();
        return true;
    } catch (const UnencodableText&) {
        reporter.ShowMessage(SaveFailedMessage, MessageIcon::None);
    } catch (const FileWriteError&) {
        reporter.ShowMessage(SaveFailedMessage, MessageIcon::None);
    } catch (const std::bad_alloc&) {
        reporter.ShowMessage(NoMemoryMessage, MessageIcon::None);
    } catch (...) {
        reporter.ShowMessage(OtherFailureMessage, MessageIcon::None);
    }
    return false;
}
} // namespace

bool HoldsUnpairedSurrogate(std::u16string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            ++i;
        } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
            return true;
        }
    }
    return false;
}

ExportEncoder::ExportEncoder(LineEnds lineEnds, ContentSink sink)
    : lineEnds(lineEnds)
    , sink(std::move(sink))
{
    // Room for the longest a unit becomes (four bytes) past the size at which the block is passed on.
    block.resize(BlockBytes + 4);
}

void ExportEncoder::Append(std::u16string_view piece)
{
    for (const char16_t unit : piece) {
        AppendUnit(unit);
        if (used >= BlockBytes) {
            PassOn();
        }
    }
}

void ExportEncoder::AppendUnit(char16_t unit)
{
    unsigned char* end = block.data() + used;
    if (pendingHighSurrogate != 0) {
        if (!IsLowSurrogate(unit)) {
            throw UnencodableText("an unpaired surrogate cannot be written as UTF-8");
        }
        end = PutCodePoint(end, 0x10000 + ((static_cast<char32_t>(pendingHighSurrogate) - 0xD800) << 10) +
                                    (static_cast<char32_t>(unit) - 0xDC00));
        pendingHighSurrogate = 0;
    } else if (unit == u'\n') {
        if (lineEnds == LineEnds::CrLfForEveryLf || (lineEnds == LineEnds::CrLfForBareLf && previous != u'\r')) {
            *end++ = '\r';
        }
        *end++ = '\n';
    } else if (IsHighSurrogate(unit)) {
        pendingHighSurrogate = unit;
    } else if (IsLowSurrogate(unit)) {
        throw UnencodableText("an unpaired surrogate cannot be written as UTF-8");
    } else {
        end = PutCodePoint(end, unit);
    }
    used = static_cast<std::size_t>(end - block.data());
    previous = unit;
}

void ExportEncoder::PassOn()
{
    sink(std::span<const unsigned char>(block.data(), used));
    OPENSSL_cleanse(block.data(), used);
    used = 0;
}

void ExportEncoder::Finish()
{
    if (pendingHighSurrogate != 0) {
        throw UnencodableText("an unpaired surrogate cannot be written as UTF-8");
    }
    if (used > 0) {
        PassOn();
    }
}

void StreamExportText(const ExportText& text, LineEnds lineEnds, const ContentSink& sink)
{
    ExportEncoder encoder(lineEnds, sink);
    text([&encoder](std::u16string_view piece) { encoder.Append(piece); });
    encoder.Finish();
}

SecureBytes EncodeExportText(const ExportText& text, LineEnds lineEnds)
{
    SecureBytes out;
    StreamExportText(text, lineEnds, [&out](std::span<const unsigned char> piece) {
        out.insert(out.end(), piece.begin(), piece.end());
    });
    return out;
}

SecureBytes EncodeExportText(const SecureString& text, LineEnds lineEnds)
{
    return EncodeExportText([&text](const auto& piece) { piece(std::u16string_view(text.data(), text.size())); },
                            lineEnds);
}

bool WriteExportFile(IMessageReporter& reporter, const std::filesystem::path& path,
                     const std::function<SecureBytes()>& buildBytes, const FileSystemCalls& calls)
{
    return ReportingFailures(reporter, [&] { WriteFileAtomically(path, buildBytes(), {{}, calls}); });
}

bool WriteExportFile(IMessageReporter& reporter, const std::filesystem::path& path, const ExportText& text,
                     LineEnds lineEnds, const FileSystemCalls& calls)
{
    return ReportingFailures(reporter, [&] {
        WriteFileAtomicallyInPieces(path, [&](const ContentSink& sink) { StreamExportText(text, lineEnds, sink); },
                                    {{}, calls});
    });
}
