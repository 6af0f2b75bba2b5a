#include "core/importexport/ImportFile.h"

#include <algorithm>
#include <new>

#include "core/common/Utf.h"
#include "core/common/WholeFileReader.h"
#include "core/database/RecordReader.h"
#include "core/importexport/CsvFormat.h"
#include "core/settings/BuiltinTexts.h"

namespace {
const std::u16string TooLargeMessage = u"Exceeded the maximum file size. The file can not be read.";
const std::u16string ReadFailedMessage = u"An unknown file exception occurred when attempting to read the file.";
const std::u16string NoMemoryMessage = u"Not enough memory to read the file.";
const std::u16string OtherFailureMessage = u"An unknown exception occurred when attempting to read the file.";
} // namespace

const std::u16string NotUtf8Message = u"The file is not UTF-8 text. The file can not be imported.";

std::string_view WithoutByteOrderMark(std::string_view bytes)
{
    constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
    if (bytes.starts_with(ByteOrderMark)) {
        bytes.remove_prefix(ByteOrderMark.size());
    }
    return bytes;
}

std::size_t FirstForbiddenCharacter(std::string_view bytes)
{
    static_assert(std::ranges::all_of(FieldTerminator, [](char16_t unit) { return unit < 0x80; }));
    constexpr char terminator[] = {static_cast<char>(FieldTerminator[0]), static_cast<char>(FieldTerminator[1]),
                                   static_cast<char>(FieldTerminator[2])};
    static_assert(std::size(terminator) == std::size(FieldTerminator));
    return std::min(bytes.find('\0'), bytes.find(std::string_view(terminator, std::size(terminator))));
}

std::size_t LineAt(std::string_view bytes, std::size_t position)
{
    const std::string_view before = bytes.substr(0, position);
    return 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
}

SecureBytes ReadImportFile(const std::filesystem::path& path)
{
    try {
        return ReadWholeFile(path, CsvFileSizeLimit);
    } catch (const FileTooLarge&) {
        throw ImportRefusal{TooLargeMessage};
    } catch (const FileUnreadable&) {
        throw ImportFileUnreadable{};
    }
}

void ReportImportFailure(IMessageReporter& reporter, const ITextSource& texts, const std::filesystem::path* file)
{
    // The message of the failure, caught on its way to the reporter.
    class Catcher : public IMessageReporter
    {
    public:
        void ShowMessage(const std::u16string& text, MessageIcon shown) override
        {
            message = text;
            icon = shown;
        }
        std::u16string message;
        MessageIcon icon = MessageIcon::None;
    } catcher;
    std::size_t line = 0;
    try {
        throw;
    } catch (const ImportRefusal& refusal) {
        line = refusal.line;
        ReportImportFailure(catcher);
    } catch (...) {
        ReportImportFailure(catcher);
    }
    std::u16string location;
    if (file != nullptr) {
        location = Utf8ToUtf16(file->string()) + u": ";
    }
    if (line > 0) {
        const std::string number = std::to_string(line);
        location += texts.Text(TextId::LineLabel) + u" " + std::u16string(number.begin(), number.end()) + u": ";
    }
    reporter.ShowMessage(location + catcher.message, catcher.icon);
}

void ReportImportFailure(IMessageReporter& reporter)
{
    try {
        throw;
    } catch (const ImportRefusal& refusal) {
        reporter.ShowMessage(refusal.message, MessageIcon::Error);
    } catch (const ImportFileUnreadable&) {
        reporter.ShowMessage(ReadFailedMessage, MessageIcon::None);
    } catch (const std::bad_alloc&) {
        reporter.ShowMessage(NoMemoryMessage, MessageIcon::None);
    } catch (...) {
        reporter.ShowMessage(OtherFailureMessage, MessageIcon::None);
    }
}
