#include <gtest/gtest.h>

#include <functional>

#include "SessionFakes.h"
#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/session/DatabaseSession.h"
#include "platform/HeldFileHandle.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {
// The program's handle, except that another program writes the file just before one chosen open: the moment between
// our own save and holding the file again.
class HandleWithAWriterInBetween : public HeldFileHandle
{
public:
    bool Open(const std::filesystem::path& path) override
    {
        if (writeBeforeNextOpen) {
            std::exchange(writeBeforeNextOpen, {})();
        }
        return HeldFileHandle::Open(path);
    }

    std::function<void()> writeBeforeNextOpen;
};

TEST(HeldVersionTest, AWriteByAnotherProgramRightAfterOurSaveIsNotTakenForOurOwn)
{
    TempDir folder;
    const std::filesystem::path path = folder / "lockmere.ldb";
    MessageRecorder messages;
    BuiltinTextSource texts;
    CDataBase database(messages, texts);
    ASSERT_TRUE(WriteDatabase(database, path, ToSecure(u"pw")));
    std::u16string lastPath;
    PromptScript prompts;
    ViewRecorder view;
    HandleWithAWriterInBetween handle;
    DatabaseSession session(database, lastPath, prompts, view, handle);
    prompts.OpenFile(path);
    prompts.Password(u"pw");
    session.OpenDatabase();
    ASSERT_EQ(lastPath, Utf8ToUtf16(path.string()));

    std::string theirs;
    handle.writeBeforeNextOpen = [&] {
        CDataBase other(messages, texts);
        other.Add({ToSecure(u"Cli"), ToSecure(u"Added elsewhere")}, {});
        ASSERT_TRUE(WriteDatabase(other, path, ToSecure(u"pw")));
        theirs = ReadFileBytes(path);
    };
    ASSERT_EQ(session.AddEntry({ToSecure(u"Web"), ToSecure(u"First")}, {}), ChangeResult::Saved);
    ASSERT_FALSE(theirs.empty());

    EXPECT_NE(session.AddEntry({ToSecure(u"Web"), ToSecure(u"Second")}, {}), ChangeResult::Saved);
    EXPECT_EQ(ReadFileBytes(path), theirs);
}
} // namespace
