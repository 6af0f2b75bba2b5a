#include <gmock/gmock.h>
#include <unistd.h>

#include "cli/CliCommand.h"
#include "cli/CliDatabase.h"
#include "cli/Output.h"
#include "core/database/DatabaseFile.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {
SecureString Password(const char16_t* text)
{
    return ToSecure(text);
}
} // namespace

// Both ends of a pipe that feeds passwords to the command, as a script would.
struct PasswordPipe
{
    PasswordPipe()
    {
        int ends[2] = {-1, -1};
        if (::pipe(ends) == 0) {
            read = ends[0];
            write = ends[1];
        }
    }
    ~PasswordPipe()
    {
        ::close(read);
        ::close(write);
    }
    int read = -1;
    int write = -1;
};

// A command's view of its database file.
class CliDatabaseFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CDataBase empty(messages, texts);
        ASSERT_TRUE(WriteDatabase(empty, path, Password(u"pw")));
    }
    void Feed(const std::string& lines)
    {
        ASSERT_EQ(::write(pipe.write, lines.data(), lines.size()), static_cast<ssize_t>(lines.size()));
    }

    TempDir folder;
    std::filesystem::path path = folder / "db.ldb";
    MessageRecorder messages;
    BuiltinTextSource texts;
    PasswordPipe pipe;
    CPasswordReader passwords{pipe.read, -1};
    COutput output{-1};
    CliContext context{messages, texts, passwords, output};
};

TEST_F(CliDatabaseFile, AFileReplacedAfterReadingIsMergedNotOverwritten)
{
    Feed("pw\n");
    CCliDatabase database(context, path);
    database.Open(true);
    const std::size_t before = database.Entries().Size();

    // Another program saves its own change in between.
    CDataBase theirs(messages, texts);
    for (const auto& [key, fields] : database.Entries()) {
        theirs.Insert(key, fields);
    }
    ASSERT_TRUE(theirs.Add({u"Theirs", u"t"}, {}));
    ASSERT_TRUE(WriteDatabase(theirs, path, Password(u"pw")));

    EXPECT_NO_THROW(database.Add({u"Mine", u"t"}, {}));
    CDataBase reread(messages, texts);
    ASSERT_EQ(ReadDatabase(reread, path, Password(u"pw")), ReadResult::Done);
    EXPECT_EQ(reread.Size(), before + 2);
    EXPECT_TRUE(reread.Find({u"Theirs", u"t"}));
    EXPECT_TRUE(reread.Find({u"Mine", u"t"}));
}

TEST_F(CliDatabaseFile, AFileReplacedUnderAnotherPasswordIsNotOverwritten)
{
    Feed("pw\n");
    CCliDatabase database(context, path);
    database.Open(true);

    // Another program saves its own version under a password of its own in between.
    CDataBase theirs(messages, texts);
    ASSERT_TRUE(theirs.Add({u"Theirs", u"t"}, {}));
    ASSERT_TRUE(WriteDatabase(theirs, path, Password(u"other")));
    const std::string theirFile = ReadFileBytes(path);

    EXPECT_THROW(database.Add({u"Mine", u"t"}, {}), CliFailure);
    EXPECT_EQ(ReadFileBytes(path), theirFile);
    EXPECT_FALSE(database.Entries().Find({u"Mine", u"t"}));
}

TEST_F(CliDatabaseFile, SuccessiveSavesOfOneCommandAreAllowed)
{
    Feed("pw\n");
    CCliDatabase database(context, path);
    database.Open(true);
    database.Add({u"a", u"1"}, {});
    EXPECT_NO_THROW(database.Add({u"a", u"2"}, {}));

    CDataBase reread(messages, texts);
    ASSERT_EQ(ReadDatabase(reread, path, Password(u"pw")), ReadResult::Done);
    EXPECT_EQ(reread.Size(), 2u);
}

TEST_F(CliDatabaseFile, AWrongPasswordEndsWithTheInvalidPasswordCode)
{
    Feed("nope\n");
    CCliDatabase database(context, path);
    try {
        database.Open(false);
        FAIL() << "a wrong password was accepted";
    } catch (const CliFailure& failure) {
        EXPECT_EQ(failure.ExitCodeOf(), ExitCode::InvalidPassword);
    }
    EXPECT_THAT(messages.Texts(), ::testing::ElementsAre(u"Invalid password."));
}

TEST_F(CliDatabaseFile, AFileWhoseNameIsNoUtf8IsReadButNotChanged)
{
    const std::filesystem::path odd = folder / "caf\xE9.ldb";
    std::filesystem::copy_file(path, odd);
    Feed("pw\n");
    CCliDatabase reader(context, odd);
    EXPECT_NO_THROW(reader.Open(false));
    CCliDatabase changer(context, odd);
    EXPECT_THROW(changer.Open(true), CliFailure);
}

TEST_F(CliDatabaseFile, PasswordsAreReadOneLineAtATime)
{
    Feed("first\nsecond\n");
    EXPECT_EQ(passwords.Read(u"Password"), u"first");
    EXPECT_EQ(passwords.Read(u"Password"), u"second");
}

class EscapedOutput : public ::testing::Test
{};

TEST_F(EscapedOutput, PlainTextIsWrittenAsUtf8)
{
    EXPECT_EQ(EscapeField(ToSecure(u"Grüße 😀 \"q\"")), SecureUtf8("Grüße 😀 \"q\""));
}

TEST_F(EscapedOutput, LineBreaksTabsAndBackslashesAreEscaped)
{
    EXPECT_EQ(EscapeField(ToSecure(u"a\tb\nc\rd\\e")), SecureUtf8("a\\tb\\nc\\rd\\\\e"));
}

TEST_F(EscapedOutput, ControlCharactersCannotSteerTheTerminal)
{
    EXPECT_EQ(EscapeField(ToSecure(u"\u001B[2J\u0007\u007F\u009B")), SecureUtf8("\\x1B[2J\\x07\\x7F\\x9B"));
}

TEST_F(EscapedOutput, AnUnpairedSurrogateBecomesTheReplacementCharacter)
{
    const char16_t lone[] = {u'a', 0xD800, u'b', 0};
    EXPECT_EQ(EscapeField(ToSecure(lone)), SecureUtf8("a\xEF\xBF\xBD"
                                                      "b"));
}
