#include "core/settings/Options.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <limits>
#include <optional>
#include <pugixml.hpp>

#include "core/common/Utf.h"
#include "platform/SettingsFolder.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {
const std::vector<std::string> KeysInOrder = {
    "fAutoRun",
    "fAutoRunHide",
    "fCloseHide",
    "fLastDB",
    "LastPath",
    "fRequestDelete",
    "Language",
    "fTop",
    "fHideUser",
    "fHidePass",
    "fGroupsTree",
    "fColumn0",
    "fColumn1",
    "fColumn2",
    "fColumn3",
    "fClearClipboardTime",
    "uClearClipboardTime",
    "fClearClipboardExit",
    "fLockDBAuto",
    "uLockDBAutoTime",
    "fLockDBMin",
    "fPassGenUpperLetters",
    "fPassGenLowerLetters",
    "fPassGenNumbers",
    "fPassGenSpecSymbols",
    "iPassGenLength",
    "fPassGenAuto",
    "fPasteMenuEdit",
    "fPasteMenuTray",
    "fAutoLoginMenuEdit",
    "fAutoLoginMenuTray",
    "fGroupEntriesTray",
    "fTip0",
    "fTip1",
};

// Sets an environment variable for the life of the object and puts back what was there.
class ScopedEnvironment
{
public:
    ScopedEnvironment(const char* name, const std::optional<std::string>& value)
        : name(name)
    {
        if (const char* old = std::getenv(name)) {
            previous = old;
        }
        Set(value);
    }
    ~ScopedEnvironment() { Set(previous); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    void Set(const std::optional<std::string>& value)
    {
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }

    const char* name;
    std::optional<std::string> previous;
};

class OptionsFileTest : public testing::Test
{
protected:
    std::filesystem::path SettingsFile() const { return appData.Path() / "Tavilo" / "Lockmere.xml"; }

    void WriteSettings(const std::string& bytes)
    {
        std::filesystem::create_directories(appData.Path() / "Tavilo");
        WriteFileBytes(SettingsFile(), bytes);
    }

    COptions Loaded()
    {
        COptions options;
        options.Load(reporter, SettingsFilePath());
        return options;
    }

    // The element names under the root of a saved file, in file order, and their texts.
    static std::vector<std::pair<std::string, std::string>> Elements(const std::filesystem::path& path)
    {
        pugi::xml_document document;
        EXPECT_TRUE(document.load_file(path.c_str()));
        std::vector<std::pair<std::string, std::string>> elements;
        for (pugi::xml_node child : document.child("Options").children()) {
            elements.emplace_back(child.name(), child.text().get());
        }
        return elements;
    }

    static std::vector<std::string> Names(const std::vector<std::pair<std::string, std::string>>& elements)
    {
        std::vector<std::string> names;
        for (const auto& element : elements) {
            names.push_back(element.first);
        }
        return names;
    }

    static std::string ValueOf(const std::filesystem::path& path, const std::string& key)
    {
        for (const auto& [name, value] : Elements(path)) {
            if (name == key) {
                return value;
            }
        }
        return "<missing>";
    }

    // A file every XML reader accepts: well-formed, in UTF-8.
    static void ExpectWellFormed(const std::filesystem::path& path)
    {
        const std::string bytes = ReadFileBytes(path);
        EXPECT_TRUE(DecodeUtf8Strict(bytes).has_value());
        pugi::xml_document document;
        EXPECT_TRUE(document.load_string(bytes.c_str())) << bytes;
        EXPECT_TRUE(document.child("Options"));
    }

    TempDir appData;
    ScopedEnvironment appDataVariable{"APPDATA", appData.Path().string()};
    MessageRecorder reporter;
};

TEST_F(OptionsFileTest, DefaultsAreThoseOfTheSettingsTable)
{
    const COptions options;
    EXPECT_FALSE(options.fAutoRun);
    EXPECT_FALSE(options.fAutoRunHide);
    EXPECT_FALSE(options.fCloseHide);
    EXPECT_TRUE(options.fLastDB);
    EXPECT_EQ(options.LastPath, u"");
    EXPECT_TRUE(options.fRequestDelete);
    EXPECT_EQ(options.Language, u"");
    EXPECT_FALSE(options.fTop);
    EXPECT_FALSE(options.fHideUser);
    EXPECT_TRUE(options.fHidePass);
    EXPECT_TRUE(options.fGroupsTree);
    EXPECT_TRUE(options.fColumn0 && options.fColumn1 && options.fColumn2 && options.fColumn3);
    EXPECT_FALSE(options.fClearClipboardTime);
    EXPECT_EQ(options.uClearClipboardTime, 10);
    EXPECT_FALSE(options.fClearClipboardExit);
    EXPECT_FALSE(options.fLockDBAuto);
    EXPECT_EQ(options.uLockDBAutoTime, 60);
    EXPECT_FALSE(options.fLockDBMin);
    EXPECT_TRUE(options.fPassGenUpperLetters && options.fPassGenLowerLetters && options.fPassGenNumbers);
    EXPECT_FALSE(options.fPassGenSpecSymbols);
    EXPECT_EQ(options.iPassGenLength, 16);
    EXPECT_TRUE(options.fPassGenAuto);
    EXPECT_FALSE(options.fPasteMenuEdit || options.fPasteMenuTray);
    EXPECT_FALSE(options.fAutoLoginMenuEdit || options.fAutoLoginMenuTray);
    EXPECT_FALSE(options.fGroupEntriesTray);
    EXPECT_TRUE(options.fTip0 && options.fTip1);
}

TEST_F(OptionsFileTest, NoFileKeepsDefaultsSilently)
{
    EXPECT_EQ(Loaded(), COptions());
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(OptionsFileTest, NoFileKeepsTheCurrentValues)
{
    COptions options;
    options.fTop = true;
    options.uLockDBAutoTime = 5;
    const COptions before = options;
    options.Load(reporter, SettingsFilePath());
    EXPECT_EQ(options, before);
}

TEST_F(OptionsFileTest, FirstSaveWritesAllKeysInTableOrderWithDefaults)
{
    ASSERT_TRUE(COptions().Save(reporter, PrepareSettingsFile()));
    EXPECT_TRUE(reporter.messages.empty());
    const auto elements = Elements(SettingsFile());
    EXPECT_EQ(Names(elements), KeysInOrder);
    EXPECT_EQ(ValueOf(SettingsFile(), "fLastDB"), "1");
    EXPECT_EQ(ValueOf(SettingsFile(), "LastPath"), "");
    EXPECT_EQ(ValueOf(SettingsFile(), "uClearClipboardTime"), "10");
    EXPECT_EQ(ValueOf(SettingsFile(), "uLockDBAutoTime"), "60");
    EXPECT_EQ(ValueOf(SettingsFile(), "iPassGenLength"), "16");
    EXPECT_EQ(ValueOf(SettingsFile(), "fTip1"), "1");
    ExpectWellFormed(SettingsFile());
}

TEST_F(OptionsFileTest, OnlyOneKeyInTheFile)
{
    WriteSettings("<Options><fTop>1</fTop></Options>");
    COptions expected;
    expected.fTop = true;
    EXPECT_EQ(Loaded(), expected);
}

TEST_F(OptionsFileTest, SavedRecordReloadsIdentically)
{
    COptions options;
    options.fAutoRun = true;
    options.fAutoRunHide = true;
    options.fCloseHide = true;
    options.LastPath = u"/home/\u00FCser/a&b <c> \"d\" 'e'/\u6587\u4EF6.lmdb";
    options.fRequestDelete = false;
    options.Language = u"Russian";
    options.fTop = true;
    options.fHideUser = true;
    options.fHidePass = false;
    options.fGroupsTree = false;
    options.fColumn0 = false;
    options.fColumn2 = false;
    options.fClearClipboardTime = true;
    options.uClearClipboardTime = -5;
    options.fClearClipboardExit = true;
    options.fLockDBAuto = true;
    options.uLockDBAutoTime = std::numeric_limits<std::int32_t>::max();
    options.fLockDBMin = true;
    options.fPassGenLowerLetters = false;
    options.fPassGenSpecSymbols = true;
    options.iPassGenLength = std::numeric_limits<std::int32_t>::min();
    options.fPassGenAuto = false;
    options.fPasteMenuEdit = true;
    options.fPasteMenuTray = true;
    options.fAutoLoginMenuEdit = true;
    options.fAutoLoginMenuTray = true;
    options.fGroupEntriesTray = true;
    options.fTip1 = false;
    ASSERT_TRUE(options.Save(reporter, PrepareSettingsFile()));
    EXPECT_EQ(Loaded(), options);
    EXPECT_EQ(ValueOf(SettingsFile(), "uClearClipboardTime"), "-5");
    EXPECT_EQ(ValueOf(SettingsFile(), "iPassGenLength"), "-2147483648");

    // A second save over the first changes nothing.
    const std::string first = ReadFileBytes(SettingsFile());
    ASSERT_TRUE(Loaded().Save(reporter, PrepareSettingsFile()));
    EXPECT_EQ(ReadFileBytes(SettingsFile()), first);
}

TEST_F(OptionsFileTest, WhiteSpaceOnlyStringsSurviveARoundTrip)
{
    COptions options;
    options.Language = u" ";
    options.LastPath = u"  /path with trailing blank ";
    ASSERT_TRUE(options.Save(reporter, PrepareSettingsFile()));
    EXPECT_EQ(Loaded(), options);
}

TEST_F(OptionsFileTest, HandWrittenFileInAnyLayoutLoads)
{
    WriteSettings("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                  "<!-- edited by hand -->\r\n"
                  "<Options>\r\n"
                  "    <iPassGenLength>24</iPassGenLength>\r\n"
                  "    <Favourite>blue</Favourite>\r\n"
                  "    <!-- the database -->\r\n"
                  "    <LastPath>/data/My &amp; Co.lmdb</LastPath>\r\n"
                  "    <fTop>  1  </fTop>\r\n"
                  "    <Language>German</Language>\r\n"
                  "    <fHidePass>no</fHidePass>\r\n"
                  "    <Nested><fTop>0</fTop></Nested>\r\n"
                  "</Options>\r\n");
    COptions expected;
    expected.iPassGenLength = 24;
    expected.LastPath = u"/data/My & Co.lmdb";
    expected.fTop = true;
    expected.Language = u"German";
    expected.fHidePass = false;
    EXPECT_EQ(Loaded(), expected);
    EXPECT_TRUE(reporter.messages.empty());

    // Saving keeps the file's own order and its foreign elements, and appends the keys it lacked.
    ASSERT_TRUE(expected.Save(reporter, PrepareSettingsFile()));
    const auto names = Names(Elements(SettingsFile()));
    const std::vector<std::string> head = {"iPassGenLength", "Favourite", "LastPath", "fTop",
                                           "Language",       "fHidePass", "Nested"};
    ASSERT_EQ(names.size(), head.size() + KeysInOrder.size() - 5);
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 7), head);
    std::vector<std::string> appended;
    for (const std::string& key : KeysInOrder) {
        if (std::find(head.begin(), head.end(), key) == head.end()) {
            appended.push_back(key);
        }
    }
    EXPECT_EQ(std::vector<std::string>(names.begin() + 7, names.end()), appended);
    EXPECT_EQ(ValueOf(SettingsFile(), "Favourite"), "blue");
    EXPECT_NE(ReadFileBytes(SettingsFile()).find("<!-- edited by hand -->"), std::string::npos);
    EXPECT_EQ(Loaded(), expected);
}

class OptionsConversionTest : public OptionsFileTest
{
protected:
    COptions LoadedWith(const std::string& key, const std::string& text)
    {
        WriteSettings("<Options><" + key + ">" + text + "</" + key + "></Options>");
        return Loaded();
    }
};

TEST_F(OptionsConversionTest, FlagText)
{
    EXPECT_FALSE(LoadedWith("fHidePass", "0").fHidePass);
    EXPECT_FALSE(LoadedWith("fHidePass", "letters").fHidePass);
    EXPECT_TRUE(LoadedWith("fHidePass", " 2").fHidePass);
    EXPECT_TRUE(LoadedWith("fTop", "-1").fTop);
    EXPECT_TRUE(LoadedWith("fTop", "99999999999999999999").fTop);
    EXPECT_FALSE(LoadedWith("fTop", "0x10").fTop);
    EXPECT_FALSE(LoadedWith("fTop", "+0").fTop);
    EXPECT_TRUE(LoadedWith("fHidePass", "").fHidePass);
    EXPECT_FALSE(LoadedWith("fTop", "").fTop);
}

TEST_F(OptionsConversionTest, ControlCharactersAreLeftOutAsASaveWould)
{
    const COptions loaded = LoadedWith("LastPath", "/home/ann/\x10"
                                                   "a\x1F.ldb");
    EXPECT_EQ(loaded.LastPath, u"/home/ann/a.ldb");
    ASSERT_TRUE(loaded.Save(reporter, SettingsFile()));
    EXPECT_EQ(Loaded(), loaded);
}

TEST_F(OptionsConversionTest, IntegerText)
{
    EXPECT_EQ(LoadedWith("uLockDBAutoTime", "45abc").uLockDBAutoTime, 45);
    EXPECT_EQ(LoadedWith("uLockDBAutoTime", "").uLockDBAutoTime, 60);
    EXPECT_EQ(LoadedWith("uLockDBAutoTime", "abc").uLockDBAutoTime, 0);
    EXPECT_EQ(LoadedWith("uLockDBAutoTime", " \t\n -12").uLockDBAutoTime, -12);
    EXPECT_EQ(LoadedWith("uLockDBAutoTime", "+7").uLockDBAutoTime, 7);
    EXPECT_EQ(LoadedWith("uLockDBAutoTime", "--5").uLockDBAutoTime, 0);
    EXPECT_EQ(LoadedWith("uLockDBAutoTime", "- 5").uLockDBAutoTime, 0);
    EXPECT_EQ(LoadedWith("uLockDBAutoTime", "007").uLockDBAutoTime, 7);
    EXPECT_EQ(LoadedWith("uLockDBAutoTime", "0").uLockDBAutoTime, 0);
}

TEST_F(OptionsConversionTest, IntegersSaturateAtTheLimits)
{
    constexpr auto Max = std::numeric_limits<std::int32_t>::max();
    constexpr auto Min = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(LoadedWith("iPassGenLength", "2147483647").iPassGenLength, Max);
    EXPECT_EQ(LoadedWith("iPassGenLength", "2147483648").iPassGenLength, Max);
    EXPECT_EQ(LoadedWith("iPassGenLength", "-2147483648").iPassGenLength, Min);
    EXPECT_EQ(LoadedWith("iPassGenLength", "-2147483649").iPassGenLength, Min);
    EXPECT_EQ(LoadedWith("iPassGenLength", std::string(5000, '9')).iPassGenLength, Max);
    EXPECT_EQ(LoadedWith("iPassGenLength", "-" + std::string(5000, '9')).iPassGenLength, Min);
}

TEST_F(OptionsConversionTest, StringsAreTakenAsTheyAre)
{
    COptions options;
    options.LastPath = u"/old.lmdb";
    WriteSettings("<Options><LastPath></LastPath><Language>  Deutsch  </Language></Options>");
    options.Load(reporter, SettingsFilePath());
    EXPECT_EQ(options.LastPath, u"");
    EXPECT_EQ(options.Language, u"  Deutsch  ");
}

TEST_F(OptionsFileTest, LastPathIsSavedOnlyWhenReopeningAtStart)
{
    COptions options;
    options.LastPath = u"/home/user/db.lmdb";
    options.fLastDB = false;
    ASSERT_TRUE(options.Save(reporter, PrepareSettingsFile()));
    EXPECT_EQ(ValueOf(SettingsFile(), "LastPath"), "");
    EXPECT_EQ(options.LastPath, u"/home/user/db.lmdb");

    options.fLastDB = true;
    ASSERT_TRUE(options.Save(reporter, PrepareSettingsFile()));
    EXPECT_EQ(ValueOf(SettingsFile(), "LastPath"), "/home/user/db.lmdb");
}

TEST_F(OptionsFileTest, ForeignElementSurvivesASave)
{
    WriteSettings("<Options><PluginColour>red</PluginColour></Options>");
    ASSERT_TRUE(Loaded().Save(reporter, PrepareSettingsFile()));
    EXPECT_EQ(ValueOf(SettingsFile(), "PluginColour"), "red");
    EXPECT_EQ(Names(Elements(SettingsFile())).front(), "PluginColour");
}

TEST_F(OptionsFileTest, SaveToAGivenPathMakesNoFolder)
{
    TempDir other;
    ASSERT_TRUE(COptions().Save(reporter, other / "copy.xml"));
    EXPECT_EQ(Names(Elements(other / "copy.xml")), KeysInOrder);
    EXPECT_FALSE(std::filesystem::exists(appData.Path() / "Tavilo"));

    EXPECT_FALSE(COptions().Save(reporter, other / "missing" / "copy.xml"));
    EXPECT_EQ(reporter.Texts(), std::vector<std::u16string>{u"Unable to save XML document."});
    EXPECT_FALSE(std::filesystem::exists(other / "missing"));
}

TEST_F(OptionsFileTest, SaveMakesOnlyTheProgramFolder)
{
    ASSERT_TRUE(COptions().Save(reporter, PrepareSettingsFile()));
    EXPECT_TRUE(std::filesystem::is_regular_file(SettingsFile()));
    const auto mode = std::filesystem::status(SettingsFile()).permissions();
    EXPECT_EQ(mode & (std::filesystem::perms::group_all | std::filesystem::perms::others_all),
              std::filesystem::perms::none);

    ScopedEnvironment missing("APPDATA", (appData.Path() / "no" / "such").string());
    EXPECT_FALSE(COptions().Save(reporter, PrepareSettingsFile()));
    EXPECT_EQ(reporter.Texts(), std::vector<std::u16string>{u"Unable to save XML document."});
    EXPECT_FALSE(std::filesystem::exists(appData.Path() / "no"));
}

TEST_F(OptionsFileTest, FailedSaveLeavesTheFileAsItWas)
{
    WriteSettings("<Options><fTop>0</fTop></Options>");
    ::chmod(SettingsFile().c_str(), 0400);
    COptions options;
    options.fTop = true;
    EXPECT_FALSE(options.Save(reporter, PrepareSettingsFile()));
    EXPECT_EQ(reporter.Texts(), std::vector<std::u16string>{u"Unable to save XML document."});
    EXPECT_EQ(ReadFileBytes(SettingsFile()), "<Options><fTop>0</fTop></Options>");
}

TEST_F(OptionsFileTest, TipFlagsByNumber)
{
    COptions options;
    options.Tip(1) = false;
    EXPECT_TRUE(options.fTip0);
    EXPECT_FALSE(options.fTip1);
    options.Tip(0) = false;
    EXPECT_FALSE(options.fTip0);
    EXPECT_THROW(options.Tip(2), std::out_of_range);
    EXPECT_THROW(std::as_const(options).Tip(-1), std::out_of_range);
}

class OptionsDamagedFileTest : public OptionsFileTest
{
protected:
    // Loading gives the defaults (or what could be read), and the next save replaces the file by a well-formed one.
    void ExpectRecovered(const std::string& bytes, const COptions& expected = COptions())
    {
        WriteSettings(bytes);
        const COptions options = Loaded();
        EXPECT_EQ(options, expected);
        EXPECT_TRUE(reporter.messages.empty());
        ASSERT_TRUE(options.Save(reporter, PrepareSettingsFile()));
        ExpectWellFormed(SettingsFile());
        EXPECT_EQ(Loaded(), expected);
    }
};

TEST_F(OptionsDamagedFileTest, NotWellFormedFileIsReplacedByOneWithTheProgramKeysOnly)
{
    ExpectRecovered("<Options><Mine>1</Mine><fTop>1</fTop>");
    EXPECT_EQ(Names(Elements(SettingsFile())), KeysInOrder);
}

TEST_F(OptionsDamagedFileTest, WellFormedFileWithAnotherRootIsReplaced)
{
    ExpectRecovered("<Settings><fTop>1</fTop></Settings>");
    EXPECT_EQ(Names(Elements(SettingsFile())), KeysInOrder);
    COptions options;
    options.fTop = true;
    ASSERT_TRUE(options.Save(reporter, PrepareSettingsFile()));
    EXPECT_TRUE(Loaded().fTop);
}

TEST_F(OptionsDamagedFileTest, TruncatedFile)
{
    COptions saved;
    saved.fTop = true;
    saved.LastPath = u"/x.lmdb";
    ASSERT_TRUE(saved.Save(reporter, PrepareSettingsFile()));
    const std::string whole = ReadFileBytes(SettingsFile());
    ExpectRecovered(whole.substr(0, whole.size() / 2));
    ExpectRecovered(whole.substr(0, whole.size() - 3));
}

TEST_F(OptionsDamagedFileTest, BinaryFile)
{
    std::string noise;
    std::uint32_t state = 12345;
    for (int i = 0; i < 65536; ++i) {
        state = state * 1103515245 + 12345;
        noise.push_back(static_cast<char>(state >> 24));
    }
    ExpectRecovered(noise);
    ExpectRecovered(std::string(1000, '\0'));
}

TEST_F(OptionsDamagedFileTest, TextThatIsNotUtf8)
{
    COptions expected;
    expected.Language = u"Fran\uFFFDais";
    expected.fTop = true;
    ExpectRecovered("<Options><Language>Fran\xE7"
                    "ais</Language><fTop>1</fTop></Options>",
                    expected);
}

TEST_F(OptionsDamagedFileTest, HugeNumbers)
{
    COptions expected;
    expected.uClearClipboardTime = std::numeric_limits<std::int32_t>::max();
    expected.uLockDBAutoTime = std::numeric_limits<std::int32_t>::min();
    expected.fTop = true;
    ExpectRecovered("<Options><uClearClipboardTime>" + std::string(100000, '7') +
                        "</uClearClipboardTime><uLockDBAutoTime>-18446744073709551617</uLockDBAutoTime>"
                        "<fTop>18446744073709551616</fTop></Options>",
                    expected);
}

class OptionsLocationTest : public testing::Test
{
protected:
    TempDir home;
    ScopedEnvironment homeVariable{"HOME", home.Path().string()};
};

TEST_F(OptionsLocationTest, AppDataComesFirst)
{
    ScopedEnvironment appData("APPDATA", "/somewhere/appdata");
    ScopedEnvironment config("XDG_CONFIG_HOME", "/somewhere/config");
    EXPECT_EQ(SettingsFilePath(), std::filesystem::path("/somewhere/appdata/Tavilo/Lockmere.xml"));
}

TEST_F(OptionsLocationTest, ConfigurationFolderWithoutAppData)
{
    ScopedEnvironment appData("APPDATA", std::nullopt);
    ScopedEnvironment config("XDG_CONFIG_HOME", "/somewhere/config");
    EXPECT_EQ(SettingsFilePath(), std::filesystem::path("/somewhere/config/Tavilo/Lockmere.xml"));
}

TEST_F(OptionsLocationTest, HomeConfigWhenNothingElseIsSet)
{
    ScopedEnvironment appData("APPDATA", std::nullopt);
    ScopedEnvironment config("XDG_CONFIG_HOME", std::nullopt);
    EXPECT_EQ(SettingsFilePath(), home.Path() / ".config" / "Tavilo" / "Lockmere.xml");

    ScopedEnvironment relative("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(SettingsFilePath(), home.Path() / ".config" / "Tavilo" / "Lockmere.xml");
}

TEST_F(OptionsLocationTest, SaveAndLoadThroughTheConfigurationFolder)
{
    ScopedEnvironment appData("APPDATA", std::nullopt);
    ScopedEnvironment config("XDG_CONFIG_HOME", home.Path().string());
    MessageRecorder reporter;
    COptions options;
    options.Language = u"German";
    ASSERT_TRUE(options.Save(reporter, PrepareSettingsFile()));
    EXPECT_TRUE(std::filesystem::is_regular_file(home / "Tavilo" / "Lockmere.xml"));
    COptions loaded;
    loaded.Load(reporter, SettingsFilePath());
    EXPECT_EQ(loaded.Language, u"German");
}

TEST_F(OptionsLocationTest, NewAccountWithoutAConfigurationFolderGetsAPrivateOne)
{
    ScopedEnvironment appData("APPDATA", std::nullopt);
    ScopedEnvironment config("XDG_CONFIG_HOME", std::nullopt);
    MessageRecorder reporter;
    ASSERT_FALSE(std::filesystem::exists(home / ".config"));

    EXPECT_TRUE(COptions().Save(reporter, PrepareSettingsFile()));
    EXPECT_TRUE(std::filesystem::is_regular_file(home.Path() / ".config" / "Tavilo" / "Lockmere.xml"));
    EXPECT_EQ(std::filesystem::status(home / ".config").permissions(), std::filesystem::perms::owner_all);
}

TEST_F(OptionsLocationTest, UnderAppDataOnlyTheProgramFolderIsCreated)
{
    ScopedEnvironment appData("APPDATA", (home / "missing").string());
    MessageRecorder reporter;

    EXPECT_FALSE(COptions().Save(reporter, PrepareSettingsFile()));
    EXPECT_FALSE(std::filesystem::exists(home / "missing"));
}

TEST_F(OptionsLocationTest, NoFolderAtAllIsAFailedSaveNotACrash)
{
    ScopedEnvironment appData("APPDATA", std::nullopt);
    ScopedEnvironment config("XDG_CONFIG_HOME", std::nullopt);
    ScopedEnvironment noHome("HOME", std::nullopt);
    EXPECT_TRUE(SettingsFilePath().empty());
    MessageRecorder reporter;
    COptions options;
    options.Load(reporter, SettingsFilePath());
    EXPECT_EQ(options, COptions());
    EXPECT_FALSE(options.Save(reporter, PrepareSettingsFile()));
    EXPECT_EQ(reporter.Texts(), std::vector<std::u16string>{u"Unable to save XML document."});
}
} // namespace

TEST_F(OptionsFileTest, SavesStayWithinXmlAndDoNotGrowWithNesting)
{
    PrepareSettingsFile();
    EXPECT_EQ(std::filesystem::status(appData.Path() / "Tavilo").permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all);
    struct Case
    {
        const char* name;
        std::function<void(COptions&)> change;
        std::function<void()> before;
    } cases[] = {
        {"a control character in a value",
         [](COptions& options) { options.LastPath = std::u16string(u"/home/ann/a") + u'\x01' + u"b\x1F.ldb"; }, [] {}},
        {"an unknown element nested ten thousand levels deep", [](COptions&) {},
         [this] {
             std::string nested = "<Options>";
             for (int level = 0; level < 10000; ++level) {
                 nested += "<deep>";
             }
             for (int level = 0; level < 10000; ++level) {
                 nested += "</deep>";
             }
             WriteSettings(nested + "</Options>");
         }},
    };
    for (const Case& test : cases) {
        std::filesystem::remove_all(appData.Path() / "Tavilo");
        test.before();
        COptions options = Loaded();
        test.change(options);
        ASSERT_TRUE(options.Save(reporter, PrepareSettingsFile())) << test.name;
        const std::size_t firstSize = std::filesystem::file_size(SettingsFile());
        ASSERT_TRUE(Loaded().Save(reporter, PrepareSettingsFile())) << test.name;
        EXPECT_LE(std::filesystem::file_size(SettingsFile()), 2 * firstSize) << test.name;
        EXPECT_LT(firstSize, 200000u) << test.name;
        const std::string bytes = ReadFileBytes(SettingsFile());
        EXPECT_EQ(bytes.find("&#"), std::string::npos) << test.name;
        EXPECT_TRUE(std::none_of(bytes.begin(), bytes.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r';
        })) << test.name;
        ExpectWellFormed(SettingsFile());
    }
}
