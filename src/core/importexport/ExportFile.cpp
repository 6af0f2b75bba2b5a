#include "core/importexport/ExportFile.h"

#include <new>

#include "core/common/AtomicFile.h"

namespace {
const std::u16string SaveFailedMessage = u"An exception occurred when attempting to save the file.";
const std::u16string NoMemoryMessage = u"Not enough memory.";
const std::u16string OtherFailureMessage = u"An exception occurred.";

bool IsHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendCodePoint(SecureBytes& out, char32_t value)
{
    if (value < 0x80) {
        out.push_back(static_cast<unsigned char>(value));
    } else if (value < 0x800) {
        out.push_back(static_cast<unsigned char>(0xC0 | (value >> 6)));
        out.push_back(static_cast<unsigned char>(0x80 | (value & 0x3F)));
    } else if (value < 0x10000) {
        out.push_back(static_cast<unsigned char>(0xE0 | (value >> 12)));
        out.push_back(static_cast<unsigned char>(0x80 | ((value >> 6) & 0x3F)));
        out.push_back(static_cast<unsigned char>(0x80 | (value & 0x3F)));
    } else {
        out.push_back(static_cast<unsigned char>(0xF0 | (value >> 18)));
        out.push_back(static_cast<unsigned char>(0x80 | ((value >> 12) & 0x3F)));
        out.push_back(static_cast<unsigned char>(0x80 | ((value >> 6) & 0x3F)));
        out.push_back(static_cast<unsigned char>(0x80 | (value & 0x3F)));
    }
}
} // namespace

SecureBytes EncodeExportText(const SecureString& text, LineEnds lineEnds)
{
    SecureBytes out;
    out.reserve(text.size() + text.size() / 8);
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size; ++i) {
        const char16_t unit = text[i];
        if (unit == u'\n') {
            if (lineEnds == LineEnds::CrLfForEveryLf || i == 0 || text[i - 1] != u'\r') {
                out.push_back('\r');
            }
            out.push_back('\n');
        } else if (IsHighSurrogate(unit) && i + 1 < size && IsLowSurrogate(text[i + 1])) {
            AppendCodePoint(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            throw UnencodableText("an unpaired surrogate cannot be written as UTF-8");
        } else {
            AppendCodePoint(out, unit);
        }
    }
    return out;
}

bool WriteExportFile(IMessageReporter& reporter, const std::filesystem::path& path,
                     const std::function<SecureBytes()>& buildBytes, const FileSystemCalls& calls)
{
    try {
        const SecureBytes bytes = buildBytes();
        WriteFileAtomically(path, bytes, {{}, calls});
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
