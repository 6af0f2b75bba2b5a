#include "core/importexport/ImportFile.h"

#include <new>

#include "core/common/WholeFileReader.h"
#include "core/importexport/CsvFormat.h"

namespace {
const std::u16string TooLargeMessage = u"Exceeded the maximum file size. The file can not be read.";
const std::u16string ReadFailedMessage = u"An unknown file exception occurred when attempting to read the file.";
const std::u16string NoMemoryMessage = u"Not enough memory to read the file.";
const std::u16string OtherFailureMessage = u"An unknown exception occurred when attempting to read the file.";
} // namespace

const std::u16string NotUtf8Message = u"The file is not UTF-8 text. The file can not be imported.";

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
