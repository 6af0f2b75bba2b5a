#include <gmock/gmock.h>

#include "CliRunner.h"
#include "core/database/DatabaseFile.h"
#include "core/settings/Options.h"
#include "platform/HeldFile.h"
#include "support/EntryBuilder.h"
#include "support/HandMadeFile.h"
#include "support/MessageRecorder.h"

using ::testing::HasSubstr;

class CliPasswords : public CliRunner
{};

TEST_F(CliPasswords, AWrongPasswordIsRefusedWithExitCode3)
{
    Create(database, "right");
    for (const std::string command : {"ls", "show", "add", "rm", "passwd"}) {
        std::vector<std::string> arguments{command, database.string()};
        if (command == "show" || command == "add" || command == "rm") {
            arguments.insert(arguments.end(), {"g", "t"});
        }
        const ProgramResult result = Run(arguments, "wrong\nx\nx\nx\n");
        EXPECT_EQ(result.exitCode, 3) << command;
        EXPECT_EQ(result.err, "lockmere-cli: Invalid password.\n") << command;
        EXPECT_EQ(result.out, "") << command;
    }
    EXPECT_TRUE(ReadEntries(database, "right").empty());
}

TEST_F(CliPasswords, PasswordsAreCaseSensitive)
{
    Create(database, "Secret");
    EXPECT_EQ(Run({"ls", database.string()}, "secret\n").exitCode, 3);
    EXPECT_EQ(Run({"ls", database.string()}, "Secret\n").exitCode, 0);
}

TEST_F(CliPasswords, NonAsciiPasswordsAreHashedAsUtf16)
{
    const std::string password = "pässwörd 😀 Пароль";
    Create(database, password);
    EXPECT_TRUE(ReadEntries(database, password).empty());
}

TEST_F(CliPasswords, AnEmptyPasswordIsAPassword)
{
    Create(database, "");
    EXPECT_EQ(Run({"ls", database.string()}, "\n").exitCode, 0);
    EXPECT_EQ(Run({"ls", database.string()}, "x\n").exitCode, 3);
}

TEST_F(CliPasswords, LinesMayEndInCarriageReturnLineFeed)
{
    Create(database, "pw");
    EXPECT_EQ(Run({"add", database.string(), "g", "t"}, "pw\r\nentry\r\nentry\r\n").exitCode, 0);
    EXPECT_EQ(ReadEntries(database, "pw").at(0).password, u"entry");
}

TEST_F(CliPasswords, TheLastLineNeedsNoLineBreak)
{
    Create(database, "pw");
    EXPECT_EQ(Run({"ls", database.string()}, "pw").exitCode, 0);
}

TEST_F(CliPasswords, InputEndingBeforeAPasswordFails)
{
    Create(database, "pw");
    const std::string before = ReadFileBytes(database);
    const ProgramResult result = Run({"add", database.string(), "g", "t"}, "pw\nentry\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.err, HasSubstr("No password was given"));
    EXPECT_EQ(ReadFileBytes(database), before);
}

TEST_F(CliPasswords, APasswordThatIsNotUtf8IsRefused)
{
    Create(database, "pw");
    const ProgramResult result = Run({"add", database.string(), "g", "t"}, "pw\n\xC3\x28\n\xC3\x28\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.err, HasSubstr("not valid UTF-8"));
    EXPECT_TRUE(ReadEntries(database, "pw").empty());
}

TEST_F(CliPasswords, AReplacementCharacterTypedAsSuchIsAccepted)
{
    Create(database, "pw");
    EXPECT_EQ(Run({"add", database.string(), "g", "t"}, "pw\n\xEF\xBF\xBD\n\xEF\xBF\xBD\n").exitCode, 0);
    EXPECT_EQ(ReadEntries(database, "pw").at(0).password, u"\uFFFD");
}

TEST_F(CliPasswords, APasswordWithANulCharacterIsRefused)
{
    // U+0000 ends the text when the file is read, so it would cut off every entry after it.
    Create(database, "pw");
    const ProgramResult result = Run({"add", database.string(), "g", "t"}, std::string("pw\na\0b\na\0b\n", 11));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.err, HasSubstr("NUL"));
    EXPECT_TRUE(ReadEntries(database, "pw").empty());
}

TEST_F(CliPasswords, CreateRefusesMismatchedPasswordsAndWritesNoFile)
{
    const ProgramResult result = Run({"create", database.string()}, "one\ntwo\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "lockmere-cli: Error: Passwords do not match, please retype.\n");
    EXPECT_FALSE(std::filesystem::exists(database));
}

TEST_F(CliPasswords, ANewMasterPasswordThatFallsInUnderACenturyIsWarnedOf)
{
    const std::string strong = "tangerine quietly harbors seventeen velvet cartographers";
    const struct
    {
        std::vector<std::string> command;
        std::string input;
        bool warned;
    } cases[] = {
        {{"create", database.string()}, "summer2024\nsummer2024\n", true},
        // Quiet leaves out confirmations, not warnings.
        {{"-q", "passwd", database.string()}, "summer2024\nsummer2024\nsummer2024\n", true},
        {{"passwd", database.string()}, "summer2024\n" + strong + "\n" + strong + "\n", false},
        {{"passwd", database.string()}, strong + "\nKenwood!1984\nKenwood!1984\n", true},
    };
    for (const auto& [command, input, warned] : cases) {
        const ProgramResult result = Run(command, input);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err.find("Warning: that is less than a century.") != std::string::npos, warned) << result.err;
        EXPECT_EQ(result.err.find("Estimated time for an offline attack") != std::string::npos, warned) << result.err;
    }
}

TEST_F(CliPasswords, CreateDoesNotWriteOverAnExistingFile)
{
    WriteFileBytes(database, "precious");
    const ProgramResult result = Run({"create", database.string()}, "pw\npw\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.err, HasSubstr("already exists"));
    EXPECT_EQ(ReadFileBytes(database), "precious");
}

TEST_F(CliPasswords, PasswdReKeysTheDatabase)
{
    Create(database, "old");
    ASSERT_EQ(Run({"add", database.string(), "Web", "Shop"}, "old\np\np\n").exitCode, 0);

    const ProgramResult result = Run({"passwd", database.string()}, "old\nnew\nnew\n");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(Run({"ls", database.string()}, "old\n").exitCode, 3);
    EXPECT_EQ(ReadEntries(database, "new").size(), 1u);
}

TEST_F(CliPasswords, PasswdWithAWrongOldPasswordChangesNothing)
{
    Create(database, "old");
    const std::string before = ReadFileBytes(database);
    const ProgramResult result = Run({"passwd", database.string()}, "Old\nnew\nnew\n");
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.err, "lockmere-cli: Invalid password.\n");
    EXPECT_EQ(ReadFileBytes(database), before);
}

TEST_F(CliPasswords, PasswdRefusesMismatchedNewPasswords)
{
    Create(database, "old");
    const std::string before = ReadFileBytes(database);
    const ProgramResult result = Run({"passwd", database.string()}, "old\nnew\nNew\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "lockmere-cli: Error: Passwords do not match, please retype.\n");
    EXPECT_EQ(ReadFileBytes(database), before);
}

TEST_F(CliPasswords, PromptsAreNotWrittenWhenTheInputIsNotATerminal)
{
    Create(database, "pw");
    const ProgramResult result = Run({"ls", database.string()}, "pw\n");
    EXPECT_EQ(result.err, "");
}

class CliFiles : public CliRunner
{
protected:
    void SetUp() override { Create(database, "pw"); }
};

TEST_F(CliFiles, AMissingDatabaseIsReported)
{
    const ProgramResult result = Run({"ls", (folder / "missing.ldb").string()}, "pw\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "lockmere-cli: " + (folder / "missing.ldb").string() + ": No such file or directory\n");
}

TEST_F(CliFiles, AFileThatAnotherLockmereHoldsIsNotWritten)
{
    const std::string before = ReadFileBytes(database);
    HeldFile held;
    ASSERT_TRUE(held.Open(database));

    const ProgramResult result = Run({"add", database.string(), "g", "t"}, "pw\np\np\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_THAT(result.err, HasSubstr("An unknown file exception occurred when attempting to save the database."));
    EXPECT_THAT(result.err,
                HasSubstr("lockmere-cli: " + database.string() + ": the file is held open by another Lockmere"));
    EXPECT_EQ(ReadFileBytes(database), before);

    // Reading is still allowed.
    EXPECT_EQ(Run({"ls", database.string()}, "pw\n").exitCode, 0);
    held.Close();
    EXPECT_EQ(Run({"add", database.string(), "g", "t"}, "pw\np\np\n").exitCode, 0);
}

TEST_F(CliFiles, ADatabaseReachedThroughALinkIsWrittenWhereTheLinkPoints)
{
    const std::filesystem::path link = folder / "link.ldb";
    std::filesystem::create_symlink(database, link);
    ASSERT_EQ(Run({"add", link.string(), "g", "t"}, "pw\np\np\n").exitCode, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadEntries(database, "pw").size(), 1u);
}

TEST_F(CliFiles, ADamagedFileIsKeptBesideItBeforeTheFirstChangeIsWritten)
{
    // Texts that cannot come from this program: the whole records are changed and written, the user is told, and the
    // original stays beside the file, so that nothing of it is ever lost. The entries fill whole cipher blocks, so
    // that a save taking the file's encryption of them over would write the padding of the missing byte as text.
    MessageRecorder messages;
    BuiltinTextSource texts;
    CDataBase entries(messages, texts);
    ASSERT_TRUE(entries.Add({u"Web", u"Bank"}, {u"a", u"b", u"c", u"d"}));
    ASSERT_TRUE(entries.Add({u"Web", u"Shop"}, {u"a", u"b", u"c", u"xxxxxxx"}));
    const SecureString plaintext = BuildPlaintext(entries);
    ASSERT_EQ(plaintext.size() * 2 % 16, 0u);
    const std::string whole = TextBytes({plaintext.data(), plaintext.size()});
    const struct
    {
        const char* name;
        std::string text;
    } cases[] = {
        {"a rest that is no record", whole + TextBytes(u"partial")},
        {"the last byte missing", whole.substr(0, whole.size() - 1)},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        std::filesystem::remove(database.string() + ".damaged");
        const std::string outer = EncryptedDatabaseBytes(test.text, Secure("pw"));
        WriteFileBytes(database, outer);

        const std::string told =
            "lockmere-cli: The database file is damaged. Entries read: 2\nThe rest of the file could not be read. "
            "Before the first change is saved, the original file is kept as: " +
            database.string() + ".damaged\n";
        const ProgramResult listed = Run({"ls", database.string()}, "pw\n");
        EXPECT_EQ(listed.exitCode, 0);
        EXPECT_EQ(listed.out, "Web\tBank\nWeb\tShop\n");
        EXPECT_EQ(listed.err, told);
        EXPECT_FALSE(std::filesystem::exists(database.string() + ".damaged")) << "reading changes nothing";

        const ProgramResult added = Run({"add", database.string(), "g", "t"}, "pw\np\np\n");
        EXPECT_EQ(added.exitCode, 0);
        EXPECT_EQ(added.err, told + "lockmere-cli: Added g/t.\n");
        EXPECT_EQ(ReadFileBytes(database.string() + ".damaged"), outer);
        std::vector<Entry> expected = EntriesOf(entries);
        expected.push_back(MakeEntry(u"g", u"t", u"", u"p"));
        EXPECT_EQ(ReadEntries(database, "pw"), expected);
        EXPECT_EQ(Run({"add", database.string(), "g", "u"}, "pw\np\np\n").err, "lockmere-cli: Added g/u.\n")
            << "told once, while damaged";
    }
}

class CliLanguage : public CliRunner
{};

TEST_F(CliLanguage, MessagesFollowTheLanguageOfTheSettings)
{
    // A program folder of its own, with a language file beside the program.
    const std::filesystem::path programFolder = folder / "program";
    std::filesystem::create_directories(programFolder);
    std::filesystem::copy_file(Program(), programFolder / "lockmere-cli");
    WriteFileBytes(programFolder / "Test.lng", "[Language]\nlang_en=Testish\nlang_native=Testisch\n[Text]\n"
                                               "38=Falsches Passwort.\n");
    std::filesystem::create_directories(appData / "Tavilo");
    COptions options;
    options.Language = u"Testish";
    MessageRecorder messages;
    ASSERT_TRUE(options.Save(messages, appData / "Tavilo" / "Lockmere.xml"));
    Create(database, "pw");

    const ProgramResult result = RunProgramAt(programFolder / "lockmere-cli", {"ls", database.string()}, "nope\n");
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.err, "lockmere-cli: Falsches Passwort.\n");
}

TEST_F(CliLanguage, TheSettingsAreOnlyRead)
{
    Create(database, "pw");
    ASSERT_EQ(Run({"add", database.string(), "g", "t"}, "pw\np\np\n").exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(appData));
}
