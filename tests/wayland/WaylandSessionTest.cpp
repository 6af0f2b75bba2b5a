#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <fstream>
#include <memory>

#include "core/database/DatabaseFile.h"
#include "core/settings/Translate.h"
#include "support/ChildProcess.h"
#include "support/EntryBuilder.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"
#include "support/XvfbServer.h"

namespace {
using namespace std::chrono_literals;

const std::string Password = "s3cret-Wayland-\xC3\xA4";
const std::string SocketName = "lockmere-test";
const std::string Open = "state open=1 locked=0 rows=1 groups=1 shown=1 tray=0";

// A Wayland compositor with a seat, as the desktop has one: weston in a window of a virtual X server, whose keyboard
// and pointer become the seat. (Its headless back end has no seat, and without a seat there is no clipboard.) Beside
// it a session bus of its own, on which a test may put a notification area.
class WaylandSessionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::filesystem::path weston = FindProgram("weston");
        ASSERT_FALSE(weston.empty()) << "weston is not installed (scripts/install-deps.sh installs it)";
        ASSERT_FALSE(FindProgram("wl-paste").empty()) << "wl-clipboard is not installed";
        const std::filesystem::path dbus = FindProgram("dbus-daemon");
        ASSERT_FALSE(dbus.empty()) << "dbus-daemon is not installed";
        const std::string problem = xserver.Start();
        ASSERT_TRUE(problem.empty()) << problem;
        bus = std::make_unique<ChildProcess>(
            dbus, std::vector<std::string>{"--session", "--nofork", "--nopidfile", "--address=" + BusAddress()});
        compositor = std::make_unique<ChildProcess>(
            weston,
            std::vector<std::string>{"--backend=x11-backend.so", "--use-pixman", "--socket=" + SocketName,
                                     "--idle-time=0", "--width=1024", "--height=700"},
            EnvironmentChanges{{"DISPLAY", xserver.Display()}, {"XDG_RUNTIME_DIR", runtime.Path().string()}});
        ASSERT_TRUE(WaitUntil([&] {
            return (std::filesystem::exists(runtime / SocketName) && std::filesystem::exists(runtime / "bus")) ||
                   !compositor->IsRunning() || !bus->IsRunning();
        })) << "weston or the session bus did not start";
        ASSERT_TRUE(compositor->IsRunning()) << "weston ended at once";
        ASSERT_TRUE(bus->IsRunning()) << "the session bus ended at once";
    }

    void TearDown() override
    {
        for (auto* process : {program.get(), notificationArea.get(), compositor.get(), bus.get()}) {
            if (process) {
                process->Kill(SIGTERM);
                process->WaitForExit(5s);
            }
        }
    }

    std::string BusAddress() const { return "unix:path=" + (runtime / "bus").string(); }

    EnvironmentChanges Session() const
    {
        // No X display: the program must do without XWayland, as under a Wayland-only compositor.
        return {{"WAYLAND_DISPLAY", SocketName},
                {"XDG_RUNTIME_DIR", runtime.Path().string()},
                {"DBUS_SESSION_BUS_ADDRESS", BusAddress()},
                {"DISPLAY", ""},
                {"QT_QPA_PLATFORM", "wayland"}};
    }

    // A notification area that shows StatusNotifierItems, as KDE's and the GNOME extensions' do.
    void OfferNotificationArea()
    {
        notificationArea =
            std::make_unique<ChildProcess>(std::filesystem::path(LOCKMERE_BIN_DIR) / "lockmere_status_notifier_watcher",
                                           std::vector<std::string>{trayLog.string()}, Session());
        ASSERT_TRUE(WaitUntil([&] { return Logged(trayLog, "watching") || !notificationArea->IsRunning(); }));
        ASSERT_TRUE(notificationArea->IsRunning()) << "the notification area did not start";
    }

    // Starts the window on a database of one entry, cleared `clearingSeconds` after a copy; waits until it shows.
    void StartProgram(int clearingSeconds, const std::vector<std::string>& more = {})
    {
        const std::filesystem::path database = folder / "lockmere.ldb";
        MessageRecorder messages;
        BuiltinTextSource texts;
        CDataBase entries(messages, texts);
        entries.Add(MakeEntry(u"Web", u"Bank").Key(),
                    MakeEntry(u"Web", u"Bank", u"alice", u"s3cret-Wayland-\u00E4").Fields());
        ASSERT_TRUE(WriteDatabase(entries, database, ToSecure(u"pw")));
        std::vector<std::string> arguments{database.string(), std::to_string(clearingSeconds), said.string()};
        arguments.insert(arguments.end(), more.begin(), more.end());
        program = std::make_unique<ChildProcess>(std::filesystem::path(LOCKMERE_BIN_DIR) / "lockmere_wayland_probe",
                                                 arguments, Session(), ChildProcess::Input::Pipe);
        ASSERT_TRUE(WaitUntil([&] { return Said("mapped") || !program->IsRunning(); }, 60s))
            << "the window never showed on the compositor";
        ASSERT_TRUE(WaitUntil([&] { return LastState() == Open; })) << LastState();
    }

    void Tell(const std::string& command) { program->WriteInput(command + "\n"); }

    void CopyThePassword()
    {
        Tell("copy");
        ASSERT_TRUE(WaitUntil([&] { return Said("copied") || !program->IsRunning(); }));
        ASSERT_TRUE(Said("copied"));
        ASSERT_TRUE(WaitUntil([&] { return Pasted() == Password; }, 10s)) << "wl-paste read '" << Pasted() << "'";
    }

    // Waits for the clearing and checks that it took its time.
    void ExpectClearedAfter(std::chrono::steady_clock::time_point copied, int clearingSeconds)
    {
        EXPECT_TRUE(WaitUntil([&] { return Pasted().empty(); }, std::chrono::seconds(clearingSeconds + 10)))
            << "the password is still on the clipboard";
        EXPECT_GE(std::chrono::steady_clock::now() - copied, std::chrono::seconds(clearingSeconds - 1));
    }

    // What a Wayland client pastes as text now; empty when the clipboard offers no text.
    std::string Pasted() const
    {
        const ProgramResult paste =
            RunProgram(FindProgram("wl-paste"), {"--no-newline", "--type", "text"}, {}, Session(), 10s);
        return paste.exitCode == 0 ? paste.out : std::string();
    }

    static std::vector<std::string> LinesOf(const std::filesystem::path& file)
    {
        std::ifstream log(file);
        std::vector<std::string> lines;
        for (std::string line; std::getline(log, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    static bool Logged(const std::filesystem::path& file, const std::string& line)
    {
        const std::vector<std::string> lines = LinesOf(file);
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    // The last line of the file that starts with `prefix`, without it; empty when there is none.
    static std::string LastAfter(const std::filesystem::path& file, const std::string& prefix)
    {
        const std::vector<std::string> lines = LinesOf(file);
        const auto last = std::find_if(lines.rbegin(), lines.rend(),
                                       [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
        return last == lines.rend() ? std::string() : last->substr(prefix.size());
    }

    bool Said(const std::string& line) const { return Logged(said, line); }

    std::string LastState() const
    {
        const std::string state = LastAfter(said, "state ");
        return state.empty() ? state : "state " + state;
    }

    // The bus name of the notification-area icon the program registered last.
    std::string RegisteredIcon() const { return LastAfter(trayLog, "registered "); }

    // A single click on the icon, as the notification area passes it on.
    ProgramResult ClickIcon(const std::string& icon) const
    {
        return RunProgram(FindProgram("dbus-send"),
                          {"--session", "--print-reply", "--dest=" + icon, "/StatusNotifierItem",
                           "org.kde.StatusNotifierItem.Activate", "int32:0", "int32:0"},
                          {}, Session(), 10s);
    }

    TempDir runtime;
    TempDir folder;
    std::filesystem::path said = folder / "said.log";
    std::filesystem::path trayLog = folder / "tray.log";
    XvfbServer xserver;
    std::unique_ptr<ChildProcess> bus;
    std::unique_ptr<ChildProcess> compositor;
    std::unique_ptr<ChildProcess> notificationArea;
    std::unique_ptr<ChildProcess> program;
};

TEST_F(WaylandSessionTest, TheWindowMapsAndACopiedPasswordIsPastedUntilTheClearingTime)
{
    constexpr int ClearingSeconds = 2;
    ASSERT_NO_FATAL_FAILURE(StartProgram(ClearingSeconds));
    ASSERT_NO_FATAL_FAILURE(CopyThePassword());
    ExpectClearedAfter(std::chrono::steady_clock::now(), ClearingSeconds);
    EXPECT_TRUE(program->IsRunning());
}

TEST_F(WaylandSessionTest, ClosingTheWindowTakesThePasswordOffTheClipboardLongBeforeTheClearingTime)
{
    ASSERT_NO_FATAL_FAILURE(StartProgram(600, {"clear-at-exit"}));
    ASSERT_NO_FATAL_FAILURE(CopyThePassword());
    Tell("close");
    ASSERT_TRUE(WaitUntil([&] { return !program->IsRunning(); }, 20s)) << "the program did not end";
    EXPECT_TRUE(Said("ended"));
    EXPECT_EQ(Pasted(), "");
}

TEST_F(WaylandSessionTest, LockingEmptiesTheViewsStaysLockedAndTheClearingGoesOn)
{
    constexpr int ClearingSeconds = 4;
    ASSERT_NO_FATAL_FAILURE(StartProgram(ClearingSeconds));
    ASSERT_NO_FATAL_FAILURE(CopyThePassword());
    const auto copied = std::chrono::steady_clock::now();
    Tell("lock");
    // Without a notification area the window goes minimised, out of view.
    const std::string locked = "state open=0 locked=1 rows=0 groups=0 shown=0 tray=0";
    EXPECT_TRUE(WaitUntil([&] { return LastState() == locked; }, 10s)) << LastState();
    ExpectClearedAfter(copied, ClearingSeconds);
    // No password prompt came up by itself in the meantime: only the user brings the window back.
    EXPECT_EQ(LastState(), locked);
}

TEST_F(WaylandSessionTest, WithANotificationAreaLockingHidesTheWindowBehindItsIconAndAClickBringsItBack)
{
    ASSERT_NO_FATAL_FAILURE(OfferNotificationArea());
    ASSERT_NO_FATAL_FAILURE(StartProgram(600));
    Tell("lock");
    EXPECT_TRUE(WaitUntil([&] { return LastState() == "state open=0 locked=1 rows=0 groups=0 shown=0 tray=1"; }, 10s))
        << LastState();
    ASSERT_TRUE(WaitUntil([&] { return !RegisteredIcon().empty(); }, 10s)) << "no icon registered";

    const ProgramResult click = ClickIcon(RegisteredIcon());
    ASSERT_EQ(click.exitCode, 0) << click.err;
    // The password prompt came up and was answered: the entries are back and the icon is gone.
    EXPECT_TRUE(WaitUntil([&] { return LastState() == Open; }, 10s)) << LastState();
}
} // namespace
