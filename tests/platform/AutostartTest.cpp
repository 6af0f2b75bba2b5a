#include <gmock/gmock.h>

#include <cstdlib>

#include "platform/Autostart.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

using ::testing::HasSubstr;

namespace {
TEST(AutostartTest, EntryStartsTheProgramByItsPathHiddenWhenAskedAndIsValid)
{
    struct Case
    {
        std::string program;
        bool hidden;
        std::string exec;
    };
    for (const Case& c : {Case{"/opt/lockmere/lockmere", false, "Exec=/opt/lockmere/lockmere\n"},
                          Case{"/opt/lockmere/lockmere", true, "Exec=/opt/lockmere/lockmere -hide\n"},
                          Case{"/home/a b/100%/lockmere", true, "Exec=\"/home/a b/100%%/lockmere\" -hide\n"},
                          Case{"/x/$HOME\"/lockmere", false, "Exec=\"/x/\\\\$HOME\\\\\"/lockmere\"\n"}}) {
        SCOPED_TRACE(c.program);
        TempDir folder;
        const Autostart autostart(folder / "autostart");
        ASSERT_TRUE(autostart.Enable(c.program, c.hidden));
        EXPECT_EQ(autostart.EntryPath(), folder / "autostart" / "lockmere.desktop");
        EXPECT_THAT(ReadFileBytes(autostart.EntryPath()), HasSubstr(c.exec));
        if (std::system("command -v desktop-file-validate >/dev/null") == 0) {
            const ProgramResult result =
                RunProgram("/bin/sh", {"-c", "desktop-file-validate \"$0\"", autostart.EntryPath().string()});
            EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
            EXPECT_EQ(result.out, "");
        }
        // Enabling again replaces the entry; disabling removes it, and a second time is no error.
        ASSERT_TRUE(autostart.Enable(c.program, !c.hidden));
        EXPECT_EQ(ReadFileBytes(autostart.EntryPath()).find(c.exec), std::string::npos);
        EXPECT_TRUE(autostart.Disable());
        EXPECT_FALSE(std::filesystem::exists(autostart.EntryPath()));
        EXPECT_TRUE(autostart.Disable());
    }
}

TEST(AutostartTest, DefaultFolderFollowsTheConfigurationHome)
{
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = savedConfig ? savedConfig : "";
    struct Case
    {
        const char* configHome;
        std::filesystem::path folder;
    };
    const std::filesystem::path home = std::getenv("HOME");
    for (const Case& c : {Case{"/cfg", "/cfg/autostart"}, Case{"relative", home / ".config/autostart"},
                          Case{nullptr, home / ".config/autostart"}}) {
        if (c.configHome) {
            ::setenv("XDG_CONFIG_HOME", c.configHome, 1);
        } else {
            ::unsetenv("XDG_CONFIG_HOME");
        }
        EXPECT_EQ(Autostart::DefaultFolder(), c.folder);
    }
    if (savedConfig) {
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    } else {
        ::unsetenv("XDG_CONFIG_HOME");
    }
}
} // namespace
