#include <functional>
#include <string>

#include "EntryTestHelpers.h"
#include "core/common/AtomicFile.h"
#include "core/importexport/CsvFormat.h"
#include "core/importexport/TextExport.h"
#include "support/FailingFileCalls.h"

namespace {
const std::u16string SaveFailed = u"An exception occurred when attempting to save the file.";

// Every export file is replaced as a whole: a failure at any step of writing it leaves the previous export as it
// was, and says so once.
class ExportFaultTest : public ImportExportTest
{
protected:
    struct Writer
    {
        const char* name;
        std::function<bool(const CDataBase&, const std::filesystem::path&, const FileSystemCalls&)> write;
    };

    // Large enough that every export needs more than one write call.
    void FillLargeCollection()
    {
        for (int i = 0; i < 6000; ++i) {
            AddEntry(MakeEntry(u"Group", u"Title " + ToU16(static_cast<unsigned>(i)), std::u16string(40, u'u'),
                               std::u16string(40, u'p'), std::u16string(60, u'l'), std::u16string(80, u'n')));
        }
    }

    static std::vector<Writer> Writers()
    {
        return {
            {"CSV", [](const CDataBase& database, const std::filesystem::path& path,
                       const FileSystemCalls& calls) { return ExportCsv(database, path, CsvExportOptions{}, calls); }},
            {"text", ExportTextListing},
            {"HTML", ExportHtml},
        };
    }
};

TEST_F(ExportFaultTest, AFailureAtAnyStepLeavesThePreviousExportByteIdentical)
{
    FillLargeCollection();
    MessageRecorder otherRecorder;
    CDataBase previousDatabase(otherRecorder, texts);
    ASSERT_TRUE(previousDatabase.Add(MakeEntry(u"Old", u"Export").Key(), {}));

    for (const Writer& writer : Writers()) {
        const std::filesystem::path file = folder / (std::string("export.") + writer.name);
        ASSERT_TRUE(writer.write(previousDatabase, file, FileSystemCalls::System())) << writer.name;
        const std::string previous = ReadFileBytes(file);
        ASSERT_GT(std::filesystem::file_size(file), 0u);

        for (const auto& [step, index] : std::vector<std::pair<WriteStep, int>>{{WriteStep::Create, 0},
                                                                                {WriteStep::Write, 0},
                                                                                {WriteStep::Write, 1},
                                                                                {WriteStep::Sync, 0},
                                                                                {WriteStep::Close, 0},
                                                                                {WriteStep::Rename, 0}}) {
            recorder.Reset();
            EXPECT_FALSE(writer.write(database, file, FailingFileCalls(step, index)))
                << writer.name << " step " << static_cast<int>(step);
            EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{SaveFailed}) << writer.name;
            EXPECT_EQ(ReadFileBytes(file), previous) << writer.name << " step " << static_cast<int>(step);
        }
        recorder.Reset();
        EXPECT_TRUE(writer.write(database, file, FileSystemCalls::System())) << writer.name;
        EXPECT_GT(std::filesystem::file_size(file), AtomicWriteChunkSize) << writer.name;
        EXPECT_TRUE(recorder.messages.empty());
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 3)
        << "a temporary file was left behind";
}
} // namespace
