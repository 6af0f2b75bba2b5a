#include <gtest/gtest.h>

#include <functional>

#include "SessionFakes.h"
#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/session/DatabaseSession.h"
#include "platform/HeldFileHandle.h"
#include "support/EntryBuilder.h"
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

    // Their version is merged with the next change, not written over: their removal of our first entry and their
    // added entry both stay.
    EXPECT_EQ(session.AddEntry({ToSecure(u"Web"), ToSecure(u"Second")}, {}), ChangeResult::Saved);
    CDataBase saved(messages, texts);
    ASSERT_EQ(ReadDatabase(saved, path, ToSecure(u"pw")), ReadResult::Done);
    EXPECT_EQ(EntriesOf(saved),
              (std::vector<Entry>{MakeEntry(u"Cli", u"Added elsewhere"), MakeEntry(u"Web", u"Second")}));
}
} // namespace
