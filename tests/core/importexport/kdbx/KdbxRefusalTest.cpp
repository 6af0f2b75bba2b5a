#include <gtest/gtest.h>

#include "../EntryTestHelpers.h"
#include "KdbxTestFiles.h"
#include "core/importexport/kdbx/KdbxHeader.h"
#include "core/settings/BuiltinTexts.h"

namespace {
const std::string Password = "correct horse";

std::string OneEntryFile(const TempDir& folder, const KdbxWriteOptions& options = QuickOptions())
{
    MessageRecorder reporter;
    BuiltinTextSource texts;
    CDataBase entries(reporter, texts);
    entries.Add({ToSecure(u"G"), ToSecure(u"T")}, {ToSecure(u"u"), ToSecure(u"p"), {}, {}});
    WriteKdbxFile(folder / "good.kdbx", entries, Credentials(Password), options);
    return ReadFileBytes(folder / "good.kdbx");
}

// Header field offsets in our own KDBX 4 file, which writes its fields in a fixed order.
constexpr std::size_t VersionOffset = 8;

struct RefusalCase
{
    std::string name;
    std::function<std::string(std::string)> damage;
    std::u16string messageEnd;
    KdbxReadResult result = KdbxReadResult::Failed;
};

std::vector<RefusalCase> RefusalCases()
{
    return {
        {"NotKdbx", [](std::string) { return std::string("\"Group\",\"Title\"\n"); },
         u": The file cannot be imported: it is not a KeePass database (.kdbx)."},
        {"KeePass1",
         [](std::string bytes) {
             bytes[4] = '\x65';
             return bytes;
         },
         u": The file cannot be imported: it is a KeePass 1 database (.kdb); only KeePass 2 files (.kdbx) can be "
         u"imported."},
        {"LaterVersion",
         [](std::string bytes) {
             bytes[VersionOffset + 2] = 5;
             return bytes;
         },
         u": The file cannot be imported: it is KDBX version 5.0; Lockmere reads versions 3.1, 4.0 and 4.1."},
        {"CutInTheHeader", [](std::string bytes) { return bytes.substr(0, 40); },
         u": The file is damaged: its header is cut short or malformed. Nothing was imported."},
        {"CutInTheBlocks", [](std::string bytes) { return bytes.substr(0, bytes.size() - 60); },
         u": The file is damaged: block 0 is cut short. Nothing was imported."},
        {"ChangedBlock",
         [](std::string bytes) {
             bytes[bytes.size() - 60] ^= 1;
             return bytes;
         },
         u": The file is damaged: block 0 fails its HMAC check. Nothing was imported."},
        {"ChangedHeader",
         [](std::string bytes) {
             bytes[50] ^= 1;
             return bytes;
         },
         u": The file is damaged: its header does not match its checksum. Nothing was imported."},
    };
}

class KdbxRefusal : public testing::TestWithParam<RefusalCase>
{};

TEST_P(KdbxRefusal, ABrokenFileIsRefusedNamingTheFileAndTheReason)
{
    TempDir folder;
    const auto file = folder / "broken.kdbx";
    WriteFileBytes(file, GetParam().damage(OneEntryFile(folder)));

    const ImportedFile imported = ImportKdbxFile(file, Credentials(Password));

    EXPECT_EQ(imported.result, GetParam().result);
    EXPECT_TRUE(imported.entries.empty());
    ASSERT_EQ(imported.messages.size(), 1u);
    EXPECT_EQ(imported.messages[0], Utf8ToUtf16(file.string()) + GetParam().messageEnd);
}

INSTANTIATE_TEST_SUITE_P(EveryDamage, KdbxRefusal, testing::ValuesIn(RefusalCases()),
                         [](const auto& info) { return info.param.name; });

TEST(KdbxWrongKey, AWrongPasswordSaysSoAndReadsNothing)
{
    TempDir folder;
    WriteFileBytes(folder / "file.kdbx", OneEntryFile(folder));

    const ImportedFile imported = ImportKdbxFile(folder / "file.kdbx", Credentials("wrong"));

    EXPECT_EQ(imported.result, KdbxReadResult::WrongKey);
    EXPECT_EQ(imported.messages, std::vector<std::u16string>{u"Invalid password or key file."});
    EXPECT_TRUE(imported.entries.empty());
}

// A crafted header must be refused before the work it asks for: these would take gigabytes or days.
struct CostCase
{
    std::string name;
    KdbxKdf::Kind kind;
    std::uint64_t rounds;
    std::uint64_t memory;
};

class KdbxTooCostly : public testing::TestWithParam<CostCase>
{};

TEST_P(KdbxTooCostly, IsRefusedBeforeAnyKeyWork)
{
    KdbxHeader header;
    header.masterSeed.assign(32, 1);
    header.iv.assign(16, 2);
    header.kdf.kind = GetParam().kind;
    header.kdf.seed.assign(32, 3);
    header.kdf.rounds = GetParam().rounds;
    header.kdf.memoryBytes = GetParam().memory;
    header.kdf.parallelism = 2;
    const SecureBytes bytes = SerialiseKdbx4Header(header);
    TempDir folder;
    WriteFileBytes(folder / "costly.kdbx", std::string(bytes.begin(), bytes.end()));

    const ImportedFile imported = ImportKdbxFile(folder / "costly.kdbx", Credentials(Password));

    ASSERT_EQ(imported.messages.size(), 1u);
    EXPECT_NE(imported.messages[0].find(u"asks for more key derivation work than Lockmere allows"),
              std::u16string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    CraftedHeaders, KdbxTooCostly,
    testing::Values(CostCase{"Argon2FourGigabytes", KdbxKdf::Kind::Argon2id, 2, std::uint64_t{4} << 30},
                    CostCase{"Argon2ManyIterations", KdbxKdf::Kind::Argon2d, 100000, std::uint64_t{64} << 20},
                    CostCase{"AesTrillionRounds", KdbxKdf::Kind::AesKdbx4, 1000000000000, 0},
                    CostCase{"Argon2NearOverflow", KdbxKdf::Kind::Argon2id, ~std::uint64_t{0}, 1 << 30}),
    [](const auto& info) { return info.param.name; });

TEST(KdbxLimitsAsked, TighterLimitsRefuseWhatTheDefaultsAllow)
{
    TempDir folder;
    WriteFileBytes(folder / "file.kdbx", OneEntryFile(folder));
    KdbxLimits tight;
    tight.argon2MemoryBytes = 1 << 10;

    EXPECT_EQ(ImportKdbxFile(folder / "file.kdbx", Credentials(Password), tight).result, KdbxReadResult::Failed);
    EXPECT_EQ(ImportKdbxFile(folder / "file.kdbx", Credentials(Password)).result, KdbxReadResult::Read);
}

TEST(KdbxForbidden, AValueWithTheFieldTerminatorIsRefusedWithTheImportsMessage)
{
    MessageRecorder reporter;
    BuiltinTextSource texts;
    CDataBase entries(reporter, texts);
    entries.Add({ToSecure(u"G"), ToSecure(u"T")}, {ToSecure(u"a\u0007\u0001\u0005b"), {}, {}, {}});
    TempDir folder;
    WriteKdbxFile(folder / "file.kdbx", entries, Credentials(Password), QuickOptions());

    const ImportedFile imported = ImportKdbxFile(folder / "file.kdbx", Credentials(Password));

    EXPECT_EQ(imported.messages, std::vector<std::u16string>{Utf8ToUtf16((folder / "file.kdbx").string()) + u": " +
                                                             texts.Text(TextId::InvalidCharacters)});
}
} // namespace
