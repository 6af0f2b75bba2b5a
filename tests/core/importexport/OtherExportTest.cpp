#include <gtest/gtest.h>

#include "EntryTestHelpers.h"
#include "core/importexport/CsvFormat.h"
#include "core/importexport/OtherExport.h"

namespace {
struct PresetCase
{
    std::string_view preset;
    std::string file;
    std::vector<Entry> expected;
    std::size_t added;
    std::size_t renamed;
    std::size_t skipped;
};

// Hand-written exports as each program writes them: quotes, commas and line breaks inside values, text beyond
// ASCII, an empty password, and a title that comes twice.
std::vector<PresetCase> PresetCases()
{
    return {
        {"keepassxc",
         "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\",\"Icon\",\"Last Modified\","
         "\"Created\"\n"
         "\"Root/Mail\",\"Post\",\"anna\",\"p\"\"w,1\",\"https://post.example\",\"line 1\nline \"\"2\"\"\","
         "\"otpauth://totp/x\",\"0\",\"2024-01-01T00:00:00Z\",\"\"\n"
         "\"Root/Mail\",\"Post\",\"J\xC3\xBCrgen\",\"\",\"https://post.example\",\"\",\"\",\"0\",\"\",\"\"\n",
         {MakeEntry(
              u"Root/Mail", u"Post", u"anna", u"p\"w,1", u"https://post.example",
              u"line 1\r\nline \"2\"\r\nTOTP: otpauth://totp/x\r\nIcon: 0\r\nLast Modified: 2024-01-01T00:00:00Z"),
          MakeEntry(u"Root/Mail", u"Post1", u"J\u00FCrgen", u"", u"https://post.example", u"Icon: 0")},
         1,
         1,
         0},
        {"chrome",
         "\xEF\xBB\xBFname,url,username,password,note\r\n"
         "Shop,https://shop.example/login,bob,,\"a, b\r\n\"\"c\"\"\"\r\n"
         "Shop,https://shop.example/,\xD0\xA1\xD0\xB2\xD0\xB5\xD1\x82\xD0\xB0,x,\r\n",
         {MakeEntry(u"Browser", u"Shop", u"bob", u"", u"https://shop.example/login", u"a, b\r\n\"c\""),
          MakeEntry(u"Browser", u"Shop1", u"\u0421\u0432\u0435\u0442\u0430", u"x", u"https://shop.example/")},
         1,
         1,
         0},
        {"firefox",
         "\"url\",\"username\",\"password\",\"httpRealm\",\"formActionOrigin\",\"guid\",\"timeCreated\","
         "\"timeLastUsed\",\"timePasswordChanged\"\n"
         "\"https://ann@mail.example:8443/in\",\"ann\",\"\",\"\",\"https://mail.example\",\"{a}\",\"1\",\"2\",\"3\"\n"
         "\"https://mail.example/other\",\"zo\xC3\xAB\",\"p,\"\"q\"\"\",,\"\",\"{b}\",\"4\",\"5\",\"6\"\n",
         {MakeEntry(u"Browser", u"mail.example", u"ann", u"", u"https://ann@mail.example:8443/in",
                    u"formActionOrigin: https://mail.example\r\nguid: {a}\r\ntimeCreated: 1\r\ntimeLastUsed: "
                    u"2\r\ntimePasswordChanged: 3"),
          MakeEntry(u"Browser", u"mail.example1", u"zo\u00EB", u"p,\"q\"", u"https://mail.example/other",
                    u"guid: {b}\r\ntimeCreated: 4\r\ntimeLastUsed: 5\r\ntimePasswordChanged: 6")},
         1,
         1,
         0},
        {"bitwarden",
         "folder,favorite,type,name,notes,fields,reprompt,login_uri,login_username,login_password,login_totp\n"
         "Work,,login,Git,\"multi\nline, \"\"quoted\"\"\",,,https://git.example,me,,\n"
         "Work,1,login,Git,,pin: 1234,0,https://git.example,\xD1\x82\xD1\x8B,s3,JBSW\n"
         ",,note,Secret note,text,,,,,,\n"
         ",,card,Visa,,,,,,,\n",
         {MakeEntry(u"Work", u"Git", u"me", u"", u"https://git.example", u"multi\r\nline, \"quoted\""),
          MakeEntry(u"Work", u"Git1", u"\u0442\u044B", u"s3", u"https://git.example",
                    u"favorite: 1\r\nfields: pin: 1234\r\nreprompt: 0\r\nlogin_totp: JBSW")},
         1,
         1,
         2},
        {"1password",
         "\"Title\",\"Url\",\"Username\",\"Password\",\"OTPAuth\",\"Favorite\",\"Archived\",\"Tags\",\"Notes\"\n"
         "\"Wiki\",\"https://wiki.example\",\"\xCE\xA9mega\",\"\",\"\",\"false\",\"false\",\"\",\"two\nlines\"\n"
         "\"Wiki\",\"https://wiki.example/2\",\"x\",\"y,z\",\"otpauth://a\",\"true\",\"false\",\"work\","
         "\"say \"\"hi\"\"\"\n",
         {MakeEntry(u"Import", u"Wiki", u"\u03A9mega", u"", u"https://wiki.example",
                    u"two\r\nlines\r\nFavorite: false\r\nArchived: false"),
          MakeEntry(u"Import", u"Wiki1", u"x", u"y,z", u"https://wiki.example/2",
                    u"say \"hi\"\r\nOTPAuth: otpauth://a\r\nFavorite: true\r\nArchived: false\r\nTags: work")},
         1,
         1,
         0},
    };
}

class OtherExportTest : public ImportExportTest
{
protected:
    std::optional<ImportCounts> Import(const std::string& bytes, std::string_view preset)
    {
        std::optional<OtherExport> read = ReadOtherExport(database, bytes, preset);
        if (!read) {
            return std::nullopt;
        }
        return AddOtherExport(database, std::move(*read));
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

TEST_F(OtherExportTest, EachPresetMapsEveryFieldByNameAndFromTheHeader)
{
    for (const PresetCase& preset : PresetCases()) {
        for (const std::string_view chosen : {preset.preset, std::string_view("auto")}) {
            database.Clear();
            const std::optional<ImportCounts> counts = Import(preset.file, chosen);
            ASSERT_TRUE(counts) << chosen;
            EXPECT_EQ(Entries(), preset.expected) << chosen;
            EXPECT_EQ(counts->added, preset.added) << chosen;
            EXPECT_EQ(counts->renamed, preset.renamed) << chosen;
            EXPECT_EQ(counts->skipped, preset.skipped) << chosen;
        }
    }
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(OtherExportTest, RefusedFilesNameTheProblemAndAddNothing)
{
    const std::u16string unknown = u"The first line of the file is not a header that this import knows. Known headers:";
    const std::u16string chromeHeader = u"\nname,url,username,password,note";
    const std::u16string brokenQuote = u"The file has a quotation mark out of place in line ";
    const std::u16string notImported = u". The file can not be imported.";
    const std::string chrome = "name,url,username,password,note\n";

    ExpectRefused(chrome + "Shop,https://shop,bob,\"pw\nmore\n", "chrome", brokenQuote + u"2" + notImported);
    ExpectRefused(chrome + "A,u,b,p,\"two\nlines\"\nShop,\"https://shop\"x,bob,pw,\n", "chrome",
                  brokenQuote + u"4" + notImported);
    ExpectRefused("\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\"\n", "chrome",
                  unknown + chromeHeader);
    ExpectRefused(chrome + "Shop,u,b,p\x07\x01\x05,\n", "auto",
                  u"Invalid characters detected. The file can not be imported.");
    ExpectRefused(chrome + "Shop,u,b,\xFF,\n", "chrome", u"The file is not UTF-8 text. The file can not be imported.");

    recorder.Reset();
    EXPECT_FALSE(Import("title,login,secret\nShop,bob,pw\n", "auto"));
    ASSERT_EQ(recorder.messages.size(), 1u);
    const std::u16string& listing = recorder.messages[0].text;
    EXPECT_EQ(listing.rfind(unknown, 0), 0u);
    for (const std::u16string_view header :
         {u"\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\"", u"\nname,url,username,password,note",
          u"\n\"url\",\"username\",\"password\"", u"\nfolder,favorite,type,name,notes", u"\n\"Title\",\"Url\"",
          u"\n\"Group\",\"Title\",\"Username\",\"Password\",\"URL/Path\",\"Notes\""}) {
        EXPECT_NE(listing.find(header), std::u16string::npos) << SecureToUtf8(SecureString(header));
    }
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
        const ImportCounts counts = AddOtherExport(database, std::move(*read));
        EXPECT_EQ(counts.added, 3u);
        EXPECT_TRUE(std::equal(source.begin(), source.end(), database.begin(), database.end()));
    }
    EXPECT_TRUE(recorder.messages.empty());
}
} // namespace
