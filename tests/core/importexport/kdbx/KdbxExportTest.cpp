#include <gtest/gtest.h>

#include "../EntryTestHelpers.h"
#include "KdbxTestFiles.h"
#include "core/importexport/kdbx/KdbxHeader.h"

namespace {
const std::string Password = "Exp\xC3\xB6rt pw";

// Entries with nested groups, text beyond ASCII, XML's special characters and multi-line notes.
void FillEntries(CDataBase& entries, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const std::u16string n = ToU16(i);
        entries.Add({ToSecure(u"Gr\u00FCppe " + ToU16(i % 10) + u"/Sub <" + ToU16(i % 7) + u">"),
                     ToSecure(u"Title \u20AC " + n)},
                    {ToSecure(u"user" + n), ToSecure(u"p<&>\"' " + n), ToSecure(u"https://example.org/?a=1&b=" + n),
                     ToSecure(u"line 1 of " + n + u"\r\nline 2\r\n\ttabbed")});
    }
}

std::string Utf8(const SecureString& text)
{
    return SecureToUtf8(text);
}

std::string WithoutCarriageReturns(std::string text)
{
    std::erase(text, '\r');
    return text;
}

class KdbxExportOpensInKeePassXc : public testing::TestWithParam<std::size_t>
{};

TEST_P(KdbxExportOpensInKeePassXc, EveryFieldArrivesIntact)
{
    MessageRecorder reporter;
    BuiltinTextSource texts;
    CDataBase entries(reporter, texts);
    FillEntries(entries, GetParam());
    TempDir folder;
    const auto file = folder / "export.kdbx";
    WriteKdbxFile(file, entries, Credentials(Password), QuickOptions());

    const std::vector<KeePassXcRecord> records = KeePassXcCsv(file, Password);
    ASSERT_EQ(records.size(), entries.Size());
    // KeePassXC lists each group's entries in the order written, which is ours within a group.
    std::map<std::string, std::vector<const KeePassXcRecord*>> byTitle;
    for (const KeePassXcRecord& record : records) {
        ASSERT_GE(record.size(), 6u);
        byTitle[record[1]].push_back(&record);
    }
    for (const auto& [key, fields] : entries) {
        const auto found = byTitle.find(Utf8(key.title));
        ASSERT_NE(found, byTitle.end()) << Utf8(key.title);
        const KeePassXcRecord& record = *found->second.front();
        EXPECT_EQ(record[0], "Exported/" + Utf8(key.group));
        EXPECT_EQ(record[2], Utf8(fields.username));
        EXPECT_EQ(record[3], Utf8(fields.password));
        EXPECT_EQ(record[4], Utf8(fields.url));
        EXPECT_EQ(record[5], WithoutCarriageReturns(Utf8(fields.notes)));
    }

    const ProgramResult listed = KeePassXcCli({"ls", "-q", "-R", "-f", file.string()}, Password + "\n");
    std::size_t listedEntries = 0;
    for (std::size_t start = 0, end; (end = listed.out.find('\n', start)) != std::string::npos; start = end + 1) {
        listedEntries += end > start && listed.out[end - 1] != '/';
    }
    EXPECT_EQ(listedEntries, entries.Size());
    const Entry first = ToEntry(*entries.begin());
    const ProgramResult shown =
        KeePassXcCli({"show", "-q", "-s", file.string(), Utf8(first.group) + "/" + Utf8(first.title)}, Password + "\n");
    EXPECT_NE(shown.out.find("Password: " + Utf8(first.password) + "\n"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("UserName: " + Utf8(first.username) + "\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(OneThousandAndAHundredThousand, KdbxExportOpensInKeePassXc, testing::Values(1, 1000, 100000));

TEST(KdbxExport, TheExportsOwnSettingsAreKdbx4Argon2idAesGzipWithKeePassXcsDefaults)
{
    MessageRecorder reporter;
    BuiltinTextSource texts;
    CDataBase entries(reporter, texts);
    FillEntries(entries, 3);
    TempDir folder;
    WriteKdbxFile(folder / "export.kdbx", entries, Credentials(Password), {});

    const std::string bytes = ReadFileBytes(folder / "export.kdbx");
    const KdbxHeader header =
        ParseKdbxHeader(std::span(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()), {});
    EXPECT_EQ(header.major, 4);
    EXPECT_EQ(header.minor, 0);
    EXPECT_EQ(header.kdf.kind, KdbxKdf::Kind::Argon2id);
    EXPECT_GE(header.kdf.memoryBytes, std::uint64_t{64} << 20);
    EXPECT_GE(header.kdf.rounds, 10u);
    EXPECT_EQ(header.cipher, KdbxCipher::Aes256);
    EXPECT_TRUE(header.gzip);
    EXPECT_EQ(KeePassXcCsv(folder / "export.kdbx", Password).size(), 3u);
}

TEST(KdbxExport, OurOwnFileImportsBackAsTheEntriesItWasMadeFrom)
{
    MessageRecorder reporter;
    BuiltinTextSource texts;
    CDataBase entries(reporter, texts);
    FillEntries(entries, 50);
    entries.Add({ToSecure(u""), ToSecure(u"In the root")}, {ToSecure(u"a\u0001b"), ToSecure(u"  "), {}, {}});
    TempDir folder;
    WriteKdbxFile(folder / "export.kdbx", entries, Credentials(Password), QuickOptions());

    const ImportedFile imported = ImportKdbxFile(folder / "export.kdbx", Credentials(Password));

    EXPECT_EQ(imported.entries, EntriesOf(entries));
    EXPECT_EQ(imported.renamed, 0u);
}

TEST(KdbxExport, ACharacterXmlCannotCarryReachesKeePassXcProtected)
{
    MessageRecorder reporter;
    BuiltinTextSource texts;
    CDataBase entries(reporter, texts);
    entries.Add({ToSecure(u"G"), ToSecure(u"T")}, {ToSecure(u"bell\u0007"), {}, {}, {}});
    TempDir folder;
    WriteKdbxFile(folder / "export.kdbx", entries, Credentials(Password), QuickOptions());

    const auto records = KeePassXcCsv(folder / "export.kdbx", Password);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0][2], "bell\x07");
}
} // namespace
