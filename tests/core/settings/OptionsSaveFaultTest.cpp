#include <gtest/gtest.h>

#include "core/common/AtomicFile.h"
#include "core/settings/Options.h"
#include "support/FailingFileCalls.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {
const std::u16string CannotSave = u"Unable to save XML document.";

// A settings save that fails at any step of writing the file leaves the previous file as it was and says so once.
class OptionsSaveFaultTest : public testing::Test
{
protected:
    TempDir folder;
    std::filesystem::path file = folder / "Lockmere.xml";
    MessageRecorder recorder;
};

TEST_F(OptionsSaveFaultTest, AFailureAtAnyStepLeavesThePreviousFileByteIdentical)
{
    COptions before;
    before.LastPath = u"/home/ann/old.ldb";
    ASSERT_TRUE(before.Save(recorder, file));
    const std::string previous = ReadFileBytes(file);
    COptions changed;
    changed.LastPath = u"/home/ann/new.ldb";
    changed.uClearClipboardTime = 99;

    for (WriteStep step : {WriteStep::Create, WriteStep::Write, WriteStep::Sync, WriteStep::Close, WriteStep::Rename}) {
        recorder.Reset();
        EXPECT_FALSE(changed.Save(recorder, file, FailingFileCalls(step)));
        EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{CannotSave});
        EXPECT_EQ(ReadFileBytes(file), previous);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1)
            << "a temporary file was left behind";
    }
    recorder.Reset();
    EXPECT_TRUE(changed.Save(recorder, file));
    EXPECT_NE(ReadFileBytes(file), previous);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(OptionsSaveFaultTest, AFailedFirstSaveLeavesNoFile)
{
    for (WriteStep step : {WriteStep::Create, WriteStep::Write, WriteStep::Sync, WriteStep::Close, WriteStep::Rename}) {
        recorder.Reset();
        EXPECT_FALSE(COptions().Save(recorder, file, FailingFileCalls(step)));
        EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{CannotSave});
        EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
    }
}
} // namespace
