#include <gtest/gtest.h>

#include <algorithm>

#include "EntryTestHelpers.h"
#include "core/importexport/CsvFormat.h"
#include "core/importexport/ExportPresets.h"
#include "core/importexport/OtherExport.h"
#include "core/importexport/StandardCsv.h"
#include "core/settings/Translate.h"

namespace {
// The exports as each program writes them; exports/README.md says where each format is documented.
const std::filesystem::path ExportsFolder =
    std::filesystem::path(LOCKMERE_SOURCE_DIR) / "tests" / "core" / "importexport" / "exports";
const std::filesystem::path ShippedLanguages = std::filesystem::path(LOCKMERE_SOURCE_DIR) / "resources" / "lang";

std::string ExportFile(const std::string& name)
{
    return ReadFileBytes(ExportsFolder / name);
}

struct PresetCase
{
    std::string file;
    std::string_view preset;
    ExportSource source;
    std::vector<Entry> expected; // in key order
    std::size_t renamed;
};

std::vector<PresetCase> PresetCases()
{
    const std::u16string jan1 = u"2024-01-01T00:00:00Z";
    const std::u16string jan2 = u"2024-01-02T00:00:00Z";
    const std::u16string nov14 = u"2023-11-14T22:13:20Z";
    // A change time equal to the creation time tells nothing and is left out.
    const std::u16string protonTimes = u"createTime: " + jan1;
    return {
        {"keepassxc.csv",
         "keepassxc",
         ExportSource::KeePassXC,
         {MakeEntry(u"Root/Mail", u"Post", u"anna", u"p\"w,1", u"https://post.example",
                    u"line 1\r\nline \"2\"\r\nTOTP: otpauth://totp/x\r\nLast Modified: 2024-01-01T00:00:00Z"),
          MakeEntry(u"Root/Mail", u"Post1", u"J\u00FCrgen", u"", u"https://post.example", u"Icon: 3")},
         1},
        {"bitwarden.csv",
         "bitwarden",
         ExportSource::Bitwarden,
         {MakeEntry(u"", u"Secret note", u"", u"", u"", u"text\r\nmore"),
          MakeEntry(u"", u"Visa", u"", u"", u"", u"type: card\r\nfields: number: 4111"),
          MakeEntry(u"Work", u"Git", u"me", u"", u"https://git.example", u"multi\r\nline, \"quoted\""),
          MakeEntry(u"Work", u"Git1", u"\u0442\u044B", u"s3", u"https://git.example",
                    u"favorite: 1\r\nfields: pin: 1234\r\nreprompt: 1\r\nlogin_totp: JBSW")},
         1},
        {"bitwarden-organisation.csv",
         "bitwarden",
         ExportSource::Bitwarden,
         {MakeEntry(u"", u"Wiki note", u"", u"", u"", u"text"),
          MakeEntry(u"Finance", u"Bank", u"acct", u"pw", u"https://bank.example", u"note"),
          MakeEntry(u"Team/Dev", u"Server", u"root", u"pa,ss", u"ssh://srv.example", u"collections: Team/Dev,Ops")},
         0},
        {"chrome.csv",
         "chrome",
         ExportSource::Chrome,
         {MakeEntry(u"Browser", u"Shop", u"bob", u"", u"https://shop.example/login", u"a, b\r\n\"c\""),
          MakeEntry(u"Browser", u"Shop1", u"\u0421\u0432\u0435\u0442\u0430", u"x", u"https://shop.example/")},
         1},
        {"firefox.csv",
         "firefox",
         ExportSource::Firefox,
         {MakeEntry(u"Browser", u"mail.example", u"ann", u"", u"https://ann@mail.example:8443/in",
                    u"formActionOrigin: https://mail.example\r\nguid: {a}\r\ntimeCreated: " + jan1 +
                        u"\r\ntimeLastUsed: " + jan2),
          MakeEntry(u"Browser", u"mail.example1", u"zo\u00EB", u"p,\"q\"", u"https://mail.example/other",
                    u"guid: {b}\r\ntimeCreated: " + nov14)},
         1},
        {"1password.csv",
         "1password",
         ExportSource::OnePassword,
         {MakeEntry(u"Import", u"Wiki", u"\u03A9mega", u"", u"https://wiki.example", u"two\r\nlines"),
          MakeEntry(u"Import", u"Wiki1", u"x", u"y,z", u"https://wiki.example/2",
                    u"say \"hi\"\r\nOTPAuth: otpauth://a\r\nFavorite: true\r\nTags: work")},
         1},
        {"lastpass.csv",
         "lastpass",
         ExportSource::LastPass,
         {MakeEntry(u"", u"Mail", u"kim@mail.example", u"secret", u"https://mail.example", u"totp: JBSWY3DP"),
          MakeEntry(u"Social\\Boards", u"Forum", u"kim", u"p\"w", u"https://forum.example/login", u"remember\r\nthis"),
          MakeEntry(u"Work", u"DB notes", u"", u"", u"", u"NoteType:Server\r\nHostname:db.example\r\nfav: 1")},
         0},
        {"apple.csv",
         "apple",
         ExportSource::ApplePasswords,
         {MakeEntry(u"Import", u"shop.example (kim)", u"kim", u"a,b\"c", u"https://shop.example/"),
          MakeEntry(u"Import", u"\u0645\u0627\u062C\u062F.example (\u0645\u0627\u062C\u062F)",
                    u"\u0645\u0627\u062C\u062F", u"\U0001F511pw", u"https://majid.example/",
                    u"first\r\nsecond\r\nOTPAuth: otpauth://totp/Shop?secret=JBSW")},
         0},
        {"dashlane.csv",
         "dashlane",
         ExportSource::Dashlane,
         {MakeEntry(u"", u"Router", u"", u"admin", u"http://router.example",
                    u"model 7\r\n\"guest\" off\r\notpSecret: JBSWY3DP"),
          MakeEntry(u"Shopping", u"Example", u"lea@example.com", u"x,y", u"https://example.com", u"username2: lea")},
         0},
        {"protonpass.csv",
         "protonpass",
         ExportSource::ProtonPass,
         {MakeEntry(u"Personal", u"Forum", u"kim@proton.example", u"pw1", u"https://forum.example",
                    u"createTime: " + jan1 + u"\r\nmodifyTime: " + jan2),
          MakeEntry(u"Personal", u"Recovery codes", u"", u"", u"", u"code1\r\ncode2\r\n" + protonTimes),
          MakeEntry(u"Personal", u"Visa", u"", u"", u"", u"type: creditCard\r\n" + protonTimes),
          MakeEntry(u"Work", u"Git", u"kimdev", u"pw2", u"https://git.example",
                    u"two\r\nlines\r\nemail: kim@proton.example\r\ntotp: otpauth://totp/git\r\n" + protonTimes)},
         0},
    };
}

class OtherExportTest : public ImportExportTest
{
protected:
    std::optional<ImportCounts> Import(const std::string& bytes, std::string_view preset,
                                       IdenticalEntries identical = IdenticalEntries::Add)
    {
        std::optional<OtherExport> read = ReadOtherExport(database, bytes, preset);
        if (!read) {
            return std::nullopt;
        }
        return AddOtherExport(database, std::move(*read), identical);
    }

    void ExpectRefused(const std::string& bytes, std::string_view preset, const std::u16string& message)
    {
        recorder.Reset();
        EXPECT_FALSE(Import(bytes, preset)) << bytes;
        ASSERT_EQ(recorder.messages.size(), 1u) << bytes;
        EXPECT_EQ(recorder.messages[0].text, message) << bytes;
        EXPECT_TRUE(database.Empty());
    }
};

// The file with a byte-order mark and CR LF line ends, as Excel and Notepad save it.
std::string WithByteOrderMarkAndCrLf(const std::string& file)
{
    std::string crlf = "\xEF\xBB\xBF";
    for (const char c : file) {
        if (c == '\n' && crlf.back() != '\r') {
            crlf += '\r';
        }
        crlf += c;
    }
    return crlf;
}

TEST_F(OtherExportTest, EachProgramsExportMapsEveryFieldByNameAndFromTheHeader)
{
    for (const PresetCase& preset : PresetCases()) {
        const std::string file = ExportFile(preset.file);
        const std::vector<std::pair<std::string, std::string_view>> readings = {
            {file, preset.preset}, {file, "auto"}, {WithByteOrderMarkAndCrLf(file), "auto"}};
        for (const auto& [bytes, chosen] : readings) {
            SCOPED_TRACE(preset.file + " as " + std::string(chosen) + (bytes == file ? "" : " with CR LF"));
            database.Clear();
            std::optional<OtherExport> read = ReadOtherExport(database, bytes, chosen);
            ASSERT_TRUE(read);
            EXPECT_EQ(read->source, preset.source);
            const ImportCounts counts = AddOtherExport(database, std::move(*read), IdenticalEntries::Skip);
            EXPECT_EQ(Entries(), preset.expected);
            EXPECT_EQ(counts.added + counts.renamed, preset.expected.size());
            EXPECT_EQ(counts.renamed, preset.renamed);
            EXPECT_EQ(counts.skipped, 0u);
        }
    }
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(OtherExportTest, TheKeyARecordIsSortedByIsTheKeyOfItsEntry)
{
    for (const PresetCase& preset : PresetCases()) {
        SCOPED_TRACE(preset.file);
        const std::string text = ExportFile(preset.file);
        StandardCsvReader keys(text);
        StandardCsvReader entries(text);
        const auto header = keys.Next();
        ASSERT_TRUE(header && entries.Next());
        const std::optional<CExportPreset> mapping = CExportPreset::ForHeader(CExportPreset::Layouts(), *header);
        ASSERT_TRUE(mapping);
        // The key is read with only the columns it needs, the entry from the whole record.
        while (const auto record = keys.Next(mapping->KeyColumns())) {
            const CExportPreset::KeyView key = mapping->KeyOf(*record, u"Import");
            const auto whole = entries.Next();
            ASSERT_TRUE(whole);
            const Entry entry = mapping->EntryOf(*whole, u"Import");
            EXPECT_EQ(std::u16string_view(entry.group), key.group);
            EXPECT_EQ(std::u16string_view(entry.title), key.title);
        }
    }
}

TEST_F(OtherExportTest, ImportingTheSameExportAgainSkipsWhatIsThereAlreadyUnlessAskedToAddIt)
{
    for (const PresetCase& preset : PresetCases()) {
        SCOPED_TRACE(preset.file);
        database.Clear();
        ASSERT_TRUE(Import(ExportFile(preset.file), "auto", IdenticalEntries::Skip));
        // Also the entries that the first import numbered count as identical.
        const std::optional<ImportCounts> again = Import(ExportFile(preset.file), "auto", IdenticalEntries::Skip);
        ASSERT_TRUE(again);
        EXPECT_EQ(again->added + again->renamed, 0u);
        EXPECT_EQ(again->skipped, preset.expected.size());
        EXPECT_EQ(Entries(), preset.expected);

        const std::optional<ImportCounts> added = Import(ExportFile(preset.file), "auto", IdenticalEntries::Add);
        ASSERT_TRUE(added);
        EXPECT_EQ(added->skipped, 0u);
        EXPECT_EQ(database.Size(), 2 * preset.expected.size());
    }
}

TEST_F(OtherExportTest, OnlyAnEntryIdenticalInEveryFieldIsSkipped)
{
    const std::string header = "name,url,username,password,note\n";
    AddEntry(MakeEntry(u"Browser", u"Shop", u"ann", u"pw", u"https://shop", u""));
    AddEntry(MakeEntry(u"Browser", u"Shop7", u"bob", u"pw", u"https://shop", u""));
    // Same fields under another title; another password; the same twice in the file; a number with a leading zero.
    const std::optional<ImportCounts> counts =
        Import(header + "Shop,https://shop,ann,pw,\nMall,https://shop,ann,pw,\nShop,https://shop,ann,pw2,\n"
                        "New,u,n,p,\nNew,u,n,p,\nShop,https://shop,bob,pw,\nShop0,https://shop,ann,pw,\n",
               "chrome", IdenticalEntries::Skip);
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->skipped, 3u);
    EXPECT_EQ(counts->added, 3u);
    EXPECT_EQ(counts->renamed, 1u);
    EXPECT_EQ(database.Size(), 6u);
    EXPECT_TRUE(database.Find({ToSecure(u"Browser"), ToSecure(u"Shop1")}));
}

TEST_F(OtherExportTest, RefusedFilesNameTheLineAndTheProblemAndAddNothing)
{
    const std::u16string unknown = u"The first line of the file is not a header that this import knows. Known headers:";
    const std::u16string brokenQuote = u"The file has a quotation mark out of place in line ";
    const std::u16string notImported = u". The file can not be imported.";
    const std::string chrome = "name,url,username,password,note\n";

    ExpectRefused(chrome + "Shop,https://shop,bob,\"pw\nmore\n", "chrome", brokenQuote + u"2" + notImported);
    ExpectRefused(chrome + "A,u,b,p,\"two\nlines\"\nShop,\"https://shop\"x,bob,pw,\n", "chrome",
                  brokenQuote + u"4" + notImported);
    ExpectRefused("\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\"\n", "chrome",
                  u"line 1: " + unknown + u"\nname,url,username,password,note");
    ExpectRefused(chrome + "A,u,b,p,\nShop,u,b,p\x07\x01\x05,\n", "auto",
                  u"line 3: Invalid characters detected. The file can not be imported.");
    ExpectRefused(chrome + "Shop,u,b,\"p\nq\",\nShop,u,b,\xFF,\n", "chrome",
                  u"line 4: The file is not UTF-8 text. The file can not be imported.");
    ExpectRefused(std::string("\"Group\",\"Title\",\"Username\",\"Password\",\"URL/Path\",\"Notes\"\r\n"
                              "\"a\",\"b\",\"c\",\"d\",\"e\",\"f\"\r\n\"a\",\"b\",\"c\"\r\n"),
                  "auto", u"line 3: the record has 3 fields, but the first record has 6");

    recorder.Reset();
    EXPECT_FALSE(Import("title,login,secret\nShop,bob,pw\n", "auto"));
    ASSERT_EQ(recorder.messages.size(), 1u);
    const std::u16string& listing = recorder.messages[0].text;
    EXPECT_EQ(listing.rfind(u"line 1: " + unknown, 0), 0u);
    for (const std::u16string_view header :
         {u"\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\"", u"\nname,url,username,password,note",
          u"\n\"url\",\"username\",\"password\"", u"\nfolder,favorite,type,name,notes", u"\ncollections,type,name",
          u"\n\"Title\",\"Url\"", u"\nurl,username,password,totp,extra,name,grouping,fav",
          u"\nTitle,URL,Username,Password,Notes,OTPAuth", u"\nusername,username2,username3,title",
          u"\ntype,name,url,email,username",
          u"\n\"Group\",\"Title\",\"Username\",\"Password\",\"URL/Path\",\"Notes\""}) {
        EXPECT_NE(listing.find(header), std::u16string::npos) << SecureToUtf8(SecureString(header));
    }
}

TEST_F(OtherExportTest, ARefusedFileIsNamedWithItsLine)
{
    const auto path = folder / "export.csv";
    WriteFileBytes(path, "name,url,username,password,note\nA,u,b,p,\n\xFF\n");
    EXPECT_FALSE(ReadOtherExportFile(database, path, "auto"));
    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{Utf8ToUtf16(path.string()) +
                                                            u": line 3: The file is not UTF-8 text. The file can "
                                                            u"not be imported."});
}

TEST_F(OtherExportTest, OurOwnExportIsRecognisedAndComesBackWhole)
{
    CDataBase source(recorder, texts);
    for (const Entry& entry :
         {MakeEntry(u"Web", u"Bank", u"ann", u"p\"w,;", u"https://bank", u"a\r\nb \"c\""),
          MakeEntry(u"", u"\u0416", u"", u"", u"", u"lone\nfeed"), MakeEntry(u"Mail", u"Box", u"bob")}) {
        source.Add(entry.Key(), entry.Fields());
    }
    for (const std::u16string_view delimiter : {u",", u";"}) {
        CsvExportOptions options;
        options.delimiter = delimiter;
        const SecureBytes exported = CsvFileBytes(source, options);
        database.Clear();
        std::optional<OtherExport> read =
            ReadOtherExport(database, {reinterpret_cast<const char*>(exported.data()), exported.size()}, "auto");
        ASSERT_TRUE(read);
        EXPECT_EQ(read->source, ExportSource::Lockmere);
        const ImportCounts counts = AddOtherExport(database, std::move(*read), IdenticalEntries::Skip);
        EXPECT_EQ(counts.added, 3u);
        EXPECT_TRUE(std::equal(source.begin(), source.end(), database.begin(), database.end()));
    }
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(OtherExportTest, OurOwnExportIsRecognisedInEveryShippedLanguageWhateverTheUsersLanguage)
{
    const Entry entry = MakeEntry(u"Web", u"Bank", u"ann", u"pw", u"", u"a\r\nb");
    for (const std::u16string written : {u"German", u"Russian", u"English"}) {
        CTranslate writerTexts(ShippedLanguages);
        writerTexts.Load(written);
        CDataBase source(recorder, writerTexts);
        source.Add(entry.Key(), entry.Fields());
        const SecureBytes bytes = CsvFileBytes(source, {});
        for (const std::u16string reader : {u"", u"German", u"Russian"}) {
            SCOPED_TRACE(Utf16ToUtf8(written) + " read with the language '" + Utf16ToUtf8(reader) + "'");
            CTranslate readerTexts(ShippedLanguages);
            readerTexts.Load(reader);
            CDataBase into(recorder, readerTexts);
            std::optional<OtherExport> read =
                ReadOtherExport(into, {reinterpret_cast<const char*>(bytes.data()), bytes.size()}, "auto");
            ASSERT_TRUE(read);
            EXPECT_EQ(read->source, ExportSource::Lockmere);
            AddOtherExport(into, std::move(*read), IdenticalEntries::Skip);
            EXPECT_EQ(EntriesOf(into), std::vector<Entry>{entry});
        }
    }
    EXPECT_TRUE(recorder.messages.empty());
}
} // namespace

// A title hundreds of records share (Firefox names a login by its host) is looked up by an index of its own: an
// import of the file again skips every record, its renamed ones and those the database held under other titles
// beginning with the same digits included, and a changed record is still added.
TEST_F(OtherExportTest, ACrowdedTitleSkipsEveryIdenticalRecordAndAddsTheChangedOne)
{
    constexpr int Records = 300;
    std::string file = "name,url,username,password,note\n";
    for (int i = 0; i < Records; ++i) {
        file += "Bank,https://bank.example,user" + std::to_string(i) + ",pw,\n";
        file += "Bank" + std::to_string(i) + "x,https://bank.example,other,pw,\n";
    }
    ASSERT_TRUE(Import(file, "chrome", IdenticalEntries::Skip));
    struct Case
    {
        std::string extra;
        std::size_t added;
        std::size_t renamed;
        std::size_t skipped;
    };
    for (const Case& again :
         {Case{"", 0, 0, 2 * Records}, Case{"Bank,https://bank.example,user7,changed,\n", 0, 1, 2 * Records}}) {
        SCOPED_TRACE(again.extra);
        const std::optional<ImportCounts> counts = Import(file + again.extra, "chrome", IdenticalEntries::Skip);
        ASSERT_TRUE(counts);
        EXPECT_EQ(counts->added, again.added);
        EXPECT_EQ(counts->renamed, again.renamed);
        EXPECT_EQ(counts->skipped, again.skipped);
    }
    EXPECT_EQ(database.Size(), static_cast<std::size_t>(2 * Records + 1));
}
