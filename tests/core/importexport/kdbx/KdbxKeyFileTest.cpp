#include <gtest/gtest.h>

#include "../EntryTestHelpers.h"
#include "KdbxTestFiles.h"

namespace {
const std::string Password = "pw";

struct KeyFileCase
{
    std::string name;
    std::string content;
};

std::string Bytes32()
{
    std::string bytes;
    for (int i = 0; i < 32; ++i) {
        bytes.push_back(static_cast<char>(i * 7 + 1));
    }
    return bytes;
}

// Every kind of key file KeePass knows; KeePassXC must open our file with it, and we must read it back.
std::vector<KeyFileCase> KeyFileCases()
{
    return {
        {"Xml10", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<KeyFile><Meta><Version>1.00</Version></Meta><Key>"
                  "<Data>AQIDBAUGBwgJCgsMDQ4PEBESExQVFhcYGRobHB0eHyA=</Data></Key></KeyFile>\n"},
        {"Xml20", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<KeyFile>\n<Meta><Version>2.0</Version></Meta>\n<Key>"
                  "<Data Hash=\"DB38CC02\">\n 0A0B0C0D 0E0F1011 12131415 16171819\n 1A1B1C1D 1E1F2021 22232425 "
                  "26272829\n</Data></Key></KeyFile>\n"},
        {"Binary32", Bytes32()},
        {"Hex64", "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f"},
        {"AnyOtherFile", "a photograph, say, or any file at all\n"},
    };
}

class KdbxKeyFile : public testing::TestWithParam<KeyFileCase>
{};

TEST_P(KdbxKeyFile, KeePassXcAndWeOpenTheFileWithTheKeyFile)
{
    TempDir folder;
    const auto keyFile = folder / "key";
    WriteFileBytes(keyFile, GetParam().content);
    MessageRecorder reporter;
    BuiltinTextSource texts;
    CDataBase entries(reporter, texts);
    entries.Add({ToSecure(u"G"), ToSecure(u"T")}, {ToSecure(u"u"), ToSecure(u"p"), {}, {}});
    WriteKdbxFile(folder / "file.kdbx", entries, Credentials(Password, keyFile), QuickOptions());

    const auto records = KeePassXcCsv(folder / "file.kdbx", Password, {"-k", keyFile.string()});
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0][1], "T");
    EXPECT_EQ(ImportKdbxFile(folder / "file.kdbx", Credentials(Password, keyFile)).entries,
              std::vector<Entry>{MakeEntry(u"G", u"T", u"u", u"p")});
    EXPECT_EQ(ImportKdbxFile(folder / "file.kdbx", Credentials(Password)).result, KdbxReadResult::WrongKey);
}

INSTANTIATE_TEST_SUITE_P(EveryKind, KdbxKeyFile, testing::ValuesIn(KeyFileCases()),
                         [](const auto& info) { return info.param.name; });

TEST(KdbxKeyFileAlone, AFileWithAKeyFileAndNoPasswordOpensWithTheKeyFileAlone)
{
    TempDir folder;
    const auto keyFile = folder / "key";
    WriteFileBytes(keyFile, Bytes32());
    MessageRecorder reporter;
    BuiltinTextSource texts;
    CDataBase entries(reporter, texts);
    entries.Add({ToSecure(u"G"), ToSecure(u"T")}, {});
    WriteKdbxFile(folder / "file.kdbx", entries, Credentials("", keyFile), QuickOptions());

    const ProgramResult listed =
        KeePassXcCli({"ls", "-q", "--no-password", "-k", keyFile.string(), (folder / "file.kdbx").string()}, "");
    EXPECT_EQ(listed.out, "G/\n");
    EXPECT_EQ(ImportKdbxFile(folder / "file.kdbx", Credentials("", keyFile)).entries.size(), 1u);
}

TEST(KdbxKeyFileBroken, AnXmlKeyFileWithAWrongChecksumIsNamedWithTheReason)
{
    TempDir folder;
    const auto keyFile = folder / "key.keyx";
    std::string content = KeyFileCases()[1].content;
    content.replace(content.find("DB38CC02"), 8, "00000000");
    WriteFileBytes(keyFile, content);
    WriteFileBytes(folder / "other", Bytes32());
    MessageRecorder reporter;
    BuiltinTextSource texts;
    const CDataBase entries(reporter, texts);
    WriteKdbxFile(folder / "file.kdbx", entries, Credentials(Password, folder / "other"), QuickOptions());

    const ImportedFile imported = ImportKdbxFile(folder / "file.kdbx", Credentials(Password, keyFile));

    EXPECT_EQ(imported.messages,
              std::vector<std::u16string>{Utf8ToUtf16((folder / "file.kdbx").string() + ": " + keyFile.string() +
                                                      ": the key file cannot be used: its key does not match its "
                                                      "checksum.")});
}
} // namespace
