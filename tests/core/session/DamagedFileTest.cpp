#include <gtest/gtest.h>

#include "SessionFakes.h"
#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/session/DatabaseSession.h"
#include "platform/HeldFileHandle.h"
#include "support/HandMadeFile.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {
using namespace std::string_view_literals;

// One whole record: group G, title T.
constexpr std::u16string_view Record = u"G\a\1\5T\a\1\5u\a\1\5p\a\1\5l\a\1\5n\a\1\5"sv;
constexpr std::u16string_view OtherRecord = u"H\a\1\5T\a\1\5u\a\1\5p\a\1\5l\a\1\5n\a\1\5"sv;

std::u16string Join(std::initializer_list<std::u16string_view> parts)
{
    std::u16string text;
    for (const auto part : parts) {
        text += part;
    }
    return text;
}

class DamagedFileTest : public testing::Test
{
protected:
    TempDir folder;
    std::filesystem::path path = folder / "lockmere.ldb";
    MessageRecorder messages;
    BuiltinTextSource texts;
    CDataBase database{messages, texts};
};

TEST_F(DamagedFileTest, TheReaderKeepsTheWholeRecordsBeforeTheDamageAndNeverStopsAtANul)
{
    const std::u16string nulInSecond = Join({Record, u"H\a\1\5X\0Y\a\1\5u\a\1\5p\a\1\5l\a\1\5n\a\1\5"sv, u"Z"sv});
    const std::u16string nulInFirstField = Join({u"M\0N\a\1\5T\a\1\5u\a\1\5p\a\1\5l\a\1\5n\a\1\5"sv, Record});
    struct Case
    {
        const char* name;
        std::u16string plaintext;
        std::size_t records;
        bool damaged;
        // The file holds the text less its last byte, the final zero of the last terminator.
        bool oneByteShort = false;
    } cases[] = {
        {"whole records", Join({Record}), 1, false},
        {"an incomplete rest", Join({Record, u"H\a\1\5rest"sv}), 1, true},
        {"a NUL in the second record", nulInSecond, 1, true},
        {"a NUL in the first field", nulInFirstField, 0, true},
        {"a NUL after the last record", Join({Record, u"\0"sv}), 1, true},
        {"whole records but for the last byte", Join({Record, OtherRecord}), 2, true, true},
    };
    for (const Case& test : cases) {
        std::string bytes = TextBytes(test.plaintext);
        if (test.oneByteShort) {
            bytes.pop_back();
        }
        WriteFileBytes(path, EncryptedDatabaseBytes(bytes, ToSecure(u"pw")));
        database.Clear();
        RecordsRead read;
        EXPECT_EQ(ReadDatabase(database, path, ToSecure(u"pw"), &read), ReadResult::Done) << test.name;
        EXPECT_EQ(read.records, test.records) << test.name;
        EXPECT_EQ(database.Size(), test.records) << test.name;
        EXPECT_EQ(read.damaged, test.damaged) << test.name;
        EXPECT_EQ(read.textBytes, bytes.size()) << test.name;
        EXPECT_EQ(IsTextOfCollection(database, read), !test.damaged) << test.name;
        if (!test.oneByteShort) {
            EXPECT_EQ(IsWholeRecords(ToSecure(test.plaintext)), !test.damaged) << test.name;
        }
    }
}

TEST_F(DamagedFileTest, TheWriterRefusesANulLikeTheTerminatorAndKeepsTheFile)
{
    ASSERT_TRUE(WriteDatabase(database, path, ToSecure(u"pw")));
    const std::string before = ReadFileBytes(path);
    for (const EntryKey& key :
         {EntryKey{ToSecure(u"M\0N"sv), ToSecure(u"T")}, EntryKey{ToSecure(u"G"), ToSecure(u"\0"sv)}}) {
        database.Clear();
        database.Add(key, {});
        messages.Reset();
        EXPECT_FALSE(WriteDatabase(database, path, ToSecure(u"pw")));
        EXPECT_EQ(messages.Texts().size(), 1u);
        EXPECT_NE(messages.Texts()[0].find(u"Invalid characters"), std::u16string::npos);
        EXPECT_EQ(ReadFileBytes(path), before);
    }
}

// The desktop program's session on a damaged file: it tells once, keeps the original before the first save, and
// never loses what it could not read.
class DamagedFileSessionTest : public DamagedFileTest
{
protected:
    DamagedFileSessionTest()
    {
        WriteHandMadeFile(path, Join({Record, u"H\a\1\5X\0rest of the file"sv}), ToSecure(u"pw"));
    }

    std::u16string lastPath;
    PromptScript prompts;
    ViewRecorder view;
    HeldFileHandle handle;
    DatabaseSession session{database, lastPath, prompts, view, handle};
};

TEST_F(DamagedFileSessionTest, OpeningTellsOnceAndTheFirstSaveKeepsTheOriginalAsNameDotDamaged)
{
    const std::string original = ReadFileBytes(path);
    WriteFileBytes(folder / "lockmere.ldb.damaged", "somebody's file");
    const std::filesystem::path kept = folder / "lockmere.ldb.damaged1";
    prompts.OpenFile(path);
    prompts.Password(u"pw");
    session.OpenDatabase();

    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(messages.Texts()[0],
              u"The database file is damaged. Entries read: 1\nThe rest of the file could not be read. "
              u"Before the first change is saved, the original file is kept as: " +
                  Utf8ToUtf16(kept.string()));
    EXPECT_FALSE(std::filesystem::exists(kept)) << "opening alone changes nothing on disk";

    for (const char16_t* title : {u"First", u"Second"}) {
        EXPECT_EQ(session.AddEntry({ToSecure(u"Web"), ToSecure(title)}, {}), ChangeResult::Saved);
    }
    EXPECT_EQ(ReadFileBytes(kept), original);
    EXPECT_EQ(ReadFileBytes(folder / "lockmere.ldb.damaged"), "somebody's file");
    EXPECT_FALSE(std::filesystem::exists(folder / "lockmere.ldb.damaged2")) << "kept once, not at every save";
    EXPECT_EQ(messages.Texts().size(), 1u);
}

} // namespace
