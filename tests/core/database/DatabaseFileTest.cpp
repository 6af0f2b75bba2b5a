#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "core/common/AtomicFile.h"
#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "support/EntryBuilder.h"
#include "support/FailingFileCalls.h"
#include "support/HandMadeFile.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {
const std::u16string InvalidPassword = u"Invalid password.";
const std::u16string InvalidCharacters =
    u"An exception occurred. Invalid characters detected. The changes can not be written to the database file.";
const std::u16string WriteFileError =
    u"An unknown file exception occurred when attempting to save the database. It is recommended that you restart the "
    u"application as soon as possible.";
const std::u16string ReadFileError = u"An unknown file exception occurred when attempting to read the database.";

SecureString S(std::u16string_view text)
{
    return ToSecure(text);
}

class DatabaseFileTest : public testing::Test
{
protected:
    void AddEntry(CDataBase& target, std::u16string_view group, std::u16string_view title,
                  std::u16string_view notes = u"")
    {
        target.Add({S(group), S(title)}, {S(u"user"), S(u"pass"), S(u"http://x"), S(notes)});
    }

    // A file holding exactly the given plaintext, encrypted like a database.
    void WriteRawFile(const std::filesystem::path& path, std::u16string_view plaintext, const SecureString& password)
    {
        WriteHandMadeFile(path, plaintext, password);
    }

    std::vector<Entry> Entries(const CDataBase& source) const { return EntriesOf(source); }

    TempDir folder;
    std::filesystem::path file = folder / "lockmere.ldb";
    MessageRecorder recorder;
    BuiltinTextSource texts;
    CDataBase database{recorder, texts};
    CDataBase loaded{recorder, texts};
    SecureString password = S(u"secret");
};

TEST_F(DatabaseFileTest, EmptyDatabaseIsASixteenByteFileThatReadsBackEmpty)
{
    ASSERT_TRUE(WriteDatabase(database, file, password));
    EXPECT_EQ(std::filesystem::file_size(file), 16u);

    EXPECT_EQ(ReadDatabase(loaded, file, password), ReadResult::Done);
    EXPECT_TRUE(loaded.Empty());
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(DatabaseFileTest, WorkedExampleHasTheDocumentedPlaintextAndAnEightyByteFile)
{
    database.Add({S(u"Web"), S(u"Shop")}, {S(u"ann"), S(u""), S(u""), S(u"n")});
    const SecureString plaintext = BuildPlaintext(database);
    const std::string expected("W\0e\0b\0\a\0\1\0\5\0S\0h\0o\0p\0\a\0\1\0\5\0a\0n\0n\0\a\0\1\0\5\0"
                               "\a\0\1\0\5\0\a\0\1\0\5\0n\0\a\0\1\0\5\0",
                               58);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(plaintext.data()), plaintext.size() * 2), expected);

    ASSERT_TRUE(WriteDatabase(database, file, password));
    EXPECT_EQ(std::filesystem::file_size(file), 80u);
    ASSERT_EQ(ReadDatabase(loaded, file, password), ReadResult::Done);
    EXPECT_EQ(Entries(loaded), Entries(database));
}

TEST_F(DatabaseFileTest, SameEntriesAndPasswordGiveIdenticalFilesAndAnotherPasswordDiffers)
{
    AddEntry(database, u"Web", u"Shop");
    const auto second = folder / "second.ldb";
    const auto other = folder / "other.ldb";
    ASSERT_TRUE(WriteDatabase(database, file, password));
    ASSERT_TRUE(WriteDatabase(database, second, password));
    ASSERT_TRUE(WriteDatabase(database, other, S(u"Secret")));

    EXPECT_EQ(ReadFileBytes(file), ReadFileBytes(second));
    EXPECT_NE(ReadFileBytes(file), ReadFileBytes(other));
}

TEST_F(DatabaseFileTest, WrongPasswordIsRefusedAndLeavesTheCollectionUnchanged)
{
    AddEntry(database, u"Web", u"Shop");
    ASSERT_TRUE(WriteDatabase(database, file, password));
    AddEntry(loaded, u"Keep", u"Me");

    for (const char16_t* wrong : {u"", u"secreT", u"secret ", u"wrong password"}) {
        recorder.Reset();
        EXPECT_EQ(ReadDatabase(loaded, file, S(wrong)), ReadResult::InvalidPassword);
        EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{InvalidPassword});
        EXPECT_EQ(loaded.Size(), 1u);
    }
}

TEST_F(DatabaseFileTest, DecryptedTextWithoutAWholeRecordIsTakenForAWrongPassword)
{
    // What a wrong password yields when both paddings happen to check out: text, but no record in it.
    WriteRawFile(file, u"garbage that is no record", password);

    EXPECT_EQ(ReadDatabase(loaded, file, password), ReadResult::InvalidPassword);
    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{InvalidPassword});
}

TEST_F(DatabaseFileTest, DamagedRestAfterWholeRecordsKeepsTheWholeRecords)
{
    WriteRawFile(file, u"G\a\1\5T\a\1\5u\a\1\5p\a\1\5l\a\1\5n\a\1\5broken\a\1\5rest", password);

    EXPECT_EQ(ReadDatabase(loaded, file, password), ReadResult::Done);
    ASSERT_EQ(loaded.Size(), 1u);
    EXPECT_EQ(loaded.Find({S(u"G"), S(u"T")})->notes, S(u"n"));
}

TEST_F(DatabaseFileTest, TextEndsAtTheFirstZeroUnit)
{
    WriteRawFile(file, std::u16string_view(u"G\a\1\5T\a\1\5u\a\1\5p\a\1\5l\a\1\5n\a\1\5\0X\a\1\5", 26), password);

    EXPECT_EQ(ReadDatabase(loaded, file, password), ReadResult::Done);
    EXPECT_EQ(loaded.Size(), 1u);
}

// A file of many pieces, read while it decrypts on several threads and handed back as it is read: the same records
// and the same damage as its text read at once, whether whole, cut off after a NUL far into it, or ending in half a
// record.
TEST_F(DatabaseFileTest, ALargeFileReadsAsItsWholeText)
{
    for (int i = 0; i < 12000; ++i) {
        AddEntry(database, u"Group " + ToU16(i % 7), u"Title " + ToU16(i), std::u16string(100 + i % 50, u'n'));
    }
    const SecureString plaintext = BuildPlaintext(database);
    const std::u16string whole(plaintext.begin(), plaintext.end());
    std::u16string withNul = whole;
    withNul[whole.size() * 2 / 3] = u'\0';
    for (const std::u16string& text : {whole, withNul, whole.substr(0, whole.size() - 5)}) {
        WriteRawFile(file, text, password);
        CDataBase expected(recorder, texts);
        const RecordsRead parsed = ParseEntries(expected, ToSecure(text));
        CDataBase read(recorder, texts);
        RecordsRead found;
        ASSERT_EQ(ReadDatabase(read, file, password, &found), ReadResult::Done);
        EXPECT_EQ(Entries(read), Entries(expected));
        EXPECT_EQ(found.records, parsed.records);
        EXPECT_EQ(found.damaged, parsed.damaged);
    }
    EXPECT_TRUE(recorder.Texts().empty());
}

TEST_F(DatabaseFileTest, TwoRecordsWithTheSameKeyKeepTheFirst)
{
    WriteRawFile(file, u"G\a\1\5T\a\1\5first\a\1\5\a\1\5\a\1\5\a\1\5G\a\1\5T\a\1\5second\a\1\5\a\1\5\a\1\5\a\1\5",
                 password);

    EXPECT_EQ(ReadDatabase(loaded, file, password), ReadResult::Done);
    ASSERT_EQ(loaded.Size(), 1u);
    EXPECT_EQ(loaded.Find({S(u"G"), S(u"T")})->username, S(u"first"));
}

TEST_F(DatabaseFileTest, RecordsInAnyOrderAreReadIntoKeyOrder)
{
    WriteRawFile(file, u"b\a\1\5t\a\1\5\a\1\5\a\1\5\a\1\5\a\1\5a\a\1\5t\a\1\5\a\1\5\a\1\5\a\1\5\a\1\5", password);

    EXPECT_EQ(ReadDatabase(loaded, file, password), ReadResult::Done);
    ASSERT_EQ(loaded.Size(), 2u);
    EXPECT_EQ(loaded.begin()->first.group, S(u"a"));
}

TEST_F(DatabaseFileTest, ReadDoesNotEmptyTheCollectionFirst)
{
    AddEntry(database, u"Web", u"Shop");
    ASSERT_TRUE(WriteDatabase(database, file, password));
    AddEntry(loaded, u"Already", u"Here");

    EXPECT_EQ(ReadDatabase(loaded, file, password), ReadResult::Done);
    EXPECT_EQ(loaded.Size(), 2u);
}

TEST_F(DatabaseFileTest, EveryKindOfCharacterSurvivesTheRoundTrip)
{
    database.Add({S(u"Gr\u00FC\u00DFe \U0001F600"), S(u"Tab\there")},
                 {S(u"\u0416\u0443\u043A"), S(u"\"quoted\" 'x' ,;"), S(u"C:\\path\\file.txt"),
                  S(u"line 1\r\nline 2\nline 3\r\u0007 \u0001 \u0005 \u0007\u0001")});
    ASSERT_TRUE(WriteDatabase(database, file, password));

    ASSERT_EQ(ReadDatabase(loaded, file, password), ReadResult::Done);
    EXPECT_EQ(Entries(loaded), Entries(database));
}

TEST_F(DatabaseFileTest, FieldHoldingTheTerminatorFailsEveryWriteAndKeepsTheFile)
{
    AddEntry(database, u"Web", u"Shop");
    ASSERT_TRUE(WriteDatabase(database, file, password));
    const std::string before = ReadFileBytes(file);

    AddEntry(database, u"Web", u"Bad", u"x\u0007\u0001\u0005y");
    EXPECT_FALSE(WriteDatabase(database, file, password));
    EXPECT_FALSE(WriteDatabase(database, folder / "new.ldb", password));

    EXPECT_EQ(recorder.Texts(), (std::vector<std::u16string>{InvalidCharacters, InvalidCharacters}));
    EXPECT_EQ(ReadFileBytes(file), before);
    EXPECT_FALSE(std::filesystem::exists(folder / "new.ldb"));
    EXPECT_EQ(database.Size(), 2u);
}

TEST_F(DatabaseFileTest, MissingFileIsAFileError)
{
    EXPECT_EQ(ReadDatabase(loaded, folder / "missing.ldb", password), ReadResult::Failed);
    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{ReadFileError});
}

TEST_F(DatabaseFileTest, FolderIsAFileError)
{
    EXPECT_EQ(ReadDatabase(loaded, folder.Path(), password), ReadResult::Failed);
    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{ReadFileError});
}

TEST_F(DatabaseFileTest, FilesThatAreNoWholeCipherBlocksAreRefusedAsInvalid)
{
    for (const std::string& content : {std::string(), std::string(15, 'x'), std::string(17, 'x')}) {
        recorder.Reset();
        WriteFileBytes(file, content);
        EXPECT_EQ(ReadDatabase(loaded, file, password), ReadResult::InvalidPassword);
        EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{InvalidPassword});
    }
}

TEST_F(DatabaseFileTest, FileOfFourGibibytesIsRefusedBeforeReading)
{
    WriteFileBytes(file, "");
    std::filesystem::resize_file(file, 4294967296ULL); // sparse: costs no disk space

    EXPECT_EQ(ReadDatabase(loaded, file, password), ReadResult::Failed);
    EXPECT_EQ(recorder.Texts(),
              std::vector<std::u16string>{u"Exceeded the maximum database file size. The file can not be read."});
}

TEST_F(DatabaseFileTest, NonAsciiPasswordIsHashedAsUtf16AndOpensOnlyWithItself)
{
    const SecureString unicode = S(u"\u041F\u0430\u0440\u043E\u043B\u044C\u20AC\U0001F600");
    AddEntry(database, u"Web", u"Shop");
    ASSERT_TRUE(WriteDatabase(database, file, unicode));

    EXPECT_EQ(ReadDatabase(loaded, file, unicode), ReadResult::Done);
    EXPECT_EQ(ReadDatabase(loaded, file, S(u"\u041F\u0430\u0440\u043E\u043B\u044C")), ReadResult::InvalidPassword);
}

class DatabaseFileSavingTest : public DatabaseFileTest
{
protected:
    mode_t ModeOf(const std::filesystem::path& path)
    {
        struct stat status
        {};
        ::stat(path.c_str(), &status);
        return status.st_mode & 07777;
    }
};

TEST_F(DatabaseFileSavingTest, NewFilesAreReadableByTheOwnerOnlyAndRewrittenFilesKeepTheirPermissions)
{
    ASSERT_TRUE(WriteDatabase(database, file, password));
    EXPECT_EQ(ModeOf(file), 0600u);

    ::chmod(file.c_str(), 0640);
    AddEntry(database, u"Web", u"Shop");
    ASSERT_TRUE(WriteDatabase(database, file, password));
    EXPECT_EQ(ModeOf(file), 0640u);
}

TEST_F(DatabaseFileSavingTest, AFailureAtAnyStepLeavesThePreviousFileByteIdentical)
{
    // Large enough to need several write calls, so that a write can fail midway.
    for (int i = 0; i < 6000; ++i) {
        database.Add({S(u"Group"), S(u"Title " + ToU16(static_cast<unsigned>(i)))},
                     {S(std::u16string(40, u'u')), S(std::u16string(40, u'p')), S(std::u16string(60, u'l')),
                      S(std::u16string(40, u'n'))});
    }
    ASSERT_GT(BuildPlaintext(database).size() * 2, 2 * AtomicWriteChunkSize);
    ASSERT_TRUE(WriteDatabase(loaded, file, password));
    const std::string before = ReadFileBytes(file);

    for (const auto& [step, index] : std::vector<std::pair<WriteStep, int>>{{WriteStep::Create, 0},
                                                                            {WriteStep::Write, 0},
                                                                            {WriteStep::Write, 1},
                                                                            {WriteStep::Write, 2},
                                                                            {WriteStep::Sync, 0},
                                                                            {WriteStep::Close, 0},
                                                                            {WriteStep::Rename, 0}}) {
        recorder.Reset();
        const FailingFileCalls failing(step, index);
        EXPECT_FALSE(WriteDatabase(database, file, password, {{}, failing}));
        EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{WriteFileError});
        EXPECT_EQ(ReadFileBytes(file), before);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1)
            << "a temporary file was left behind";
    }
    EXPECT_TRUE(WriteDatabase(database, file, password));
}

TEST_F(DatabaseFileSavingTest, AFileHeldOpenByAnotherLockmereIsNotReplaced)
{
    ASSERT_TRUE(WriteDatabase(database, file, password));
    const std::string before = ReadFileBytes(file);
    const int holder = ::open(file.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_SH), 0);

    AddEntry(database, u"Web", u"Shop");
    EXPECT_FALSE(WriteDatabase(database, file, password));
    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{WriteFileError});
    EXPECT_EQ(ReadFileBytes(file), before);

    // Reading stays possible while it is held.
    EXPECT_EQ(ReadDatabase(loaded, file, password), ReadResult::Done);
    ::close(holder);
    EXPECT_TRUE(WriteDatabase(database, file, password));
}

TEST_F(DatabaseFileSavingTest, MissingFolderIsAFileError)
{
    EXPECT_FALSE(WriteDatabase(database, folder / "gone" / "x.ldb", password));
    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{WriteFileError});
}
} // namespace

namespace {
TEST_F(DatabaseFileSavingTest, TheTargetCheckSeesTheFileAboutToBeReplacedAndItsRefusalKeepsTheFile)
{
    ASSERT_TRUE(WriteDatabase(database, file, password));
    const std::string before = ReadFileBytes(file);
    struct stat onDisk
    {};
    ASSERT_EQ(::stat(file.c_str(), &onDisk), 0);

    AddEntry(database, u"Web", u"Shop");
    ino_t seen = 0;
    EXPECT_FALSE(WriteDatabase(database, file, password, [&seen](const struct stat* existing) {
        ASSERT_NE(existing, nullptr);
        seen = existing->st_ino;
        throw TargetCheckFailed(u"Changed elsewhere.");
    }));
    EXPECT_EQ(seen, onDisk.st_ino);
    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{u"Changed elsewhere."});
    EXPECT_EQ(ReadFileBytes(file), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);

    EXPECT_TRUE(WriteDatabase(database, file, password, [](const struct stat*) {}));
    EXPECT_NE(ReadFileBytes(file), before);
}

TEST_F(DatabaseFileSavingTest, TheTargetCheckOfANewFileSeesNoFile)
{
    bool called = false;
    EXPECT_TRUE(WriteDatabase(database, file, password, [&called](const struct stat* existing) {
        called = true;
        EXPECT_EQ(existing, nullptr);
    }));
    EXPECT_TRUE(called);
}
} // namespace
