#include <gtest/gtest.h>

#include "../EntryTestHelpers.h"
#include "KdbxTestFiles.h"
#include "core/importexport/kdbx/KdbxHeader.h"

namespace {
const std::u16string PostNotes = u"line 1\r\nline 2\r\nRecovery code: 123 456\r\notp: "
                                 u"otpauth://totp/Post:anna?secret=JBSWY3DPEHPK3PXP&period=30&digits=6&issuer=Post"
                                 u"\r\nTags: work";

// ContentXml as every import maps it: the root group's name left out, the second "Post" renamed.
std::vector<Entry> MappedContent()
{
    return {
        MakeEntry(u"", u"Top", u"", u"top-pw"),
        MakeEntry(u"Mail/Priv\u00E9 \u20AC", u"Post", u"anna", u"p\"w<&> \u00FC", u"https://post.example", PostNotes),
        MakeEntry(u"Mail/Priv\u00E9 \u20AC", u"Post1", u"J\u00FCrgen"),
    };
}

KdbxHeader HeaderOf(const std::filesystem::path& path)
{
    const std::string bytes = ReadFileBytes(path);
    return ParseKdbxHeader(std::span(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()), {});
}

TEST(KdbxKeePassXcImport, AFileKeePassXcMadeImportsEveryFieldAsMapped)
{
    TempDir folder;
    const auto file = MakeKeePassXcFile(folder.Path());
    const KdbxHeader header = HeaderOf(file);
    ASSERT_EQ(header.major, 3);
    ASSERT_TRUE(header.gzip);

    const ImportedFile imported = ImportKdbxFile(file, Credentials(KeePassXcPassword));

    EXPECT_EQ(imported.result, KdbxReadResult::Read);
    EXPECT_EQ(imported.entries, MappedContent());
    EXPECT_EQ(imported.renamed, 1u);
    EXPECT_EQ(imported.historyLeftOut, 1u);
    EXPECT_EQ(imported.recycleBinLeftOut, 1u);
    EXPECT_EQ(imported.attachmentsLeftOut, 1u);
    EXPECT_TRUE(imported.messages.empty());
}

TEST(KdbxKeePassXcImport, AKeyFileKeePassXcMadeOpensTheFileTogetherWithThePassword)
{
    TempDir folder;
    const auto keyFile = folder / "made.keyx";
    const auto file = MakeKeePassXcFile(folder.Path(), keyFile);

    EXPECT_EQ(ImportKdbxFile(file, Credentials(KeePassXcPassword, keyFile)).entries, MappedContent());
    const ImportedFile withoutKeyFile = ImportKdbxFile(file, Credentials(KeePassXcPassword));
    EXPECT_EQ(withoutKeyFile.result, KdbxReadResult::WrongKey);
    EXPECT_EQ(withoutKeyFile.messages, std::vector<std::u16string>{u"Invalid password or key file."});
}

struct Combination
{
    KdbxKdf::Kind kdf;
    KdbxCipher cipher;
    bool gzip;
};

std::string NameOf(const testing::TestParamInfo<Combination>& info)
{
    const char* kdf[] = {"AesKdf3", "AesKdf", "Argon2d", "Argon2id"};
    const char* cipher[] = {"Aes256", "ChaCha20", "Twofish"};
    return std::string(kdf[static_cast<int>(info.param.kdf)]) + cipher[static_cast<int>(info.param.cipher)] +
           (info.param.gzip ? "Gzip" : "Uncompressed");
}

class KdbxKeePassXcCombination : public testing::TestWithParam<Combination>
{};

// KeePassXC keeps a database's cipher, key derivation and compression when it saves it: merging its own file into
// an empty one of ours with the settings makes it write them with its own writer. The merge takes the other file's
// recycle bin over as an ordinary group.
TEST_P(KdbxKeePassXcCombination, AFileKeePassXcWroteWithTheSettingsImportsEveryField)
{
    const Combination combination = GetParam();
    TempDir folder;
    const auto content = MakeKeePassXcFile(folder.Path());
    const auto file = folder / "combination.kdbx";
    MessageRecorder reporter;
    BuiltinTextSource texts;
    const CDataBase empty(reporter, texts);
    WriteKdbxFile(file, empty, Credentials(KeePassXcPassword),
                  QuickOptions(combination.kdf, combination.cipher, combination.gzip));
    const std::string seed = ReadFileBytes(file);

    const ProgramResult merged = KeePassXcCli({"merge", "-q", "-s", file.string(), content.string()},
                                              KeePassXcPassword + "\n" + KeePassXcPassword + "\n");
    ASSERT_EQ(merged.exitCode, 0) << merged.err;
    ASSERT_NE(ReadFileBytes(file), seed);
    const KdbxHeader header = HeaderOf(file);
    EXPECT_EQ(header.major, 4);
    EXPECT_EQ(header.cipher, combination.cipher);
    EXPECT_EQ(header.gzip, combination.gzip);

    const ImportedFile imported = ImportKdbxFile(file, Credentials(KeePassXcPassword));
    EXPECT_EQ(imported.result, KdbxReadResult::Read) << testing::PrintToString(imported.messages);
    std::vector<Entry> expected = MappedContent();
    expected.push_back(MakeEntry(u"Recycle Bin", u"Gone", u"", u"x"));
    EXPECT_EQ(imported.entries, expected);
    EXPECT_EQ(imported.historyLeftOut, 1u);
    EXPECT_EQ(imported.attachmentsLeftOut, 1u);
}

std::vector<Combination> Combinations()
{
    std::vector<Combination> combinations;
    for (const auto kdf : {KdbxKdf::Kind::Argon2d, KdbxKdf::Kind::Argon2id, KdbxKdf::Kind::AesKdbx4}) {
        for (const auto cipher : {KdbxCipher::Aes256, KdbxCipher::ChaCha20, KdbxCipher::Twofish}) {
            for (const bool gzip : {true, false}) {
                combinations.push_back({kdf, cipher, gzip});
            }
        }
    }
    return combinations;
}

INSTANTIATE_TEST_SUITE_P(EveryKdfCipherAndCompression, KdbxKeePassXcCombination, testing::ValuesIn(Combinations()),
                         NameOf);
} // namespace
