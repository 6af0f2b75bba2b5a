#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <poll.h>
#include <sstream>
#include <unistd.h>

#include "core/database/DatabaseFile.h"
#include "core/settings/Options.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/DlgMain.h"
#include "gui/mainwindow/EntryListView.h"
#include "gui/mainwindow/EntryViews.h"
#include "support/ChildProcess.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"
#include "support/XvfbServer.h"

// Last: Xlib defines macros such as None and Bool that clash with the names above.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {
using namespace std::chrono_literals;

const std::u16string Username = u"Jörg.Smith@Example";
// "Ж" and the emoji are on neither the US nor the German layout.
const std::u16string Password = u"Pässwörd-€-Ж-@-é-\U0001F600";
const char* const Typed = "Jörg.Smith@Example\nPässwörd-€-Ж-@-é-\U0001F600\nENTER\n";

// A virtual X server with the openbox window manager, for the whole test program.
struct VirtualDesktop
{
    XvfbServer server;
    std::string display;
    std::unique_ptr<ChildProcess> windowManager;
    Display* connection = nullptr;

    // Empty on success, else why no X server could be started.
    std::string Start()
    {
        if (std::string problem = server.Start(); !problem.empty()) {
            return problem;
        }
        display = server.Display();
        connection = XOpenDisplay(display.c_str());
        return connection ? std::string() : "no connection to " + display;
    }

    ~VirtualDesktop()
    {
        if (connection) {
            XCloseDisplay(connection);
        }
        // The window manager goes before its server.
        if (windowManager) {
            windowManager->Kill(SIGTERM);
            windowManager->WaitForExit(5s);
        }
    }
};

VirtualDesktop* desktop = nullptr;
std::string desktopProblem;

struct FormFillingCase
{
    const char* name;
    const char* layout;
    bool capsLock;
    bool controlHeld;
};

void PrintTo(const FormFillingCase& filling, std::ostream* out)
{
    *out << filling.name;
}

bool WaitWithEvents(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    return WaitUntil(
        [&] {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            return condition();
        },
        limit);
}

std::string ReadText(const std::filesystem::path& path)
{
    return std::filesystem::exists(path) ? ReadFileBytes(path) : std::string();
}

// Auto-Login from the main window into a log-in form of another program, under a real X server and window manager.
class FormFillingX11Test : public ::testing::TestWithParam<FormFillingCase>
{
public:
    static void SetUpTestSuite()
    {
        desktop = new VirtualDesktop;
        desktopProblem = desktop->Start();
        if (!desktopProblem.empty()) {
            return;
        }
        const auto openbox = FindProgram("openbox");
        if (!openbox.empty()) {
            desktop->windowManager = std::make_unique<ChildProcess>(openbox, std::vector<std::string>{},
                                                                    EnvironmentChanges{{"DISPLAY", desktop->display}});
            WaitUntil([] { return HasWindowManager(); }, 10s);
        }
        ::setenv("DISPLAY", desktop->display.c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        static int argc = 1;
        static char name[] = "lockmere_formfill_tests";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }

    static void TearDownTestSuite()
    {
        delete QApplication::instance();
        delete desktop;
        desktop = nullptr;
    }

    static bool HasWindowManager()
    {
        Atom check = XInternAtom(desktop->connection, "_NET_SUPPORTING_WM_CHECK", False);
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long remaining = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(desktop->connection, DefaultRootWindow(desktop->connection), check, 0, 1, False,
                           AnyPropertyType, &type, &format, &count, &remaining, &data);
        if (data) {
            XFree(data);
        }
        return count > 0;
    }

protected:
    void SetUp() override
    {
        if (!desktopProblem.empty()) {
            GTEST_SKIP() << "No X server can be started: " << desktopProblem;
        }
        ASSERT_TRUE(desktop->windowManager) << "openbox is not installed (scripts/install-deps.sh installs it)";
        ASSERT_TRUE(HasWindowManager()) << "openbox did not start";
        const auto setxkbmap = FindProgram("setxkbmap");
        ASSERT_FALSE(setxkbmap.empty()) << "setxkbmap is not installed (package x11-xkb-utils)";
        const ProgramResult layout = RunProgram(setxkbmap, {"-display", desktop->display, GetParam().layout});
        ASSERT_EQ(layout.exitCode, 0) << layout.err;
    }

    void TearDown() override
    {
        if (desktop && desktop->connection) {
            XkbLockModifiers(desktop->connection, XkbUseCoreKbd, LockMask, 0);
            XSync(desktop->connection, False);
        }
    }

    void SetCapsLock(bool on)
    {
        XkbLockModifiers(desktop->connection, XkbUseCoreKbd, LockMask, on ? LockMask : 0);
        XSync(desktop->connection, False);
    }

    unsigned LockedModifiers()
    {
        XkbStateRec state{};
        XkbGetState(desktop->connection, XkbUseCoreKbd, &state);
        return state.locked_mods;
    }

    static unsigned long ReadProperty(Window window, const char* name)
    {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long remaining = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(desktop->connection, window, XInternAtom(desktop->connection, name, False), 0, 1, False,
                           AnyPropertyType, &type, &format, &count, &remaining, &data);
        unsigned long value = 0;
        if (data && count > 0 && format == 32) {
            value = *reinterpret_cast<unsigned long*>(data);
        }
        if (data) {
            XFree(data);
        }
        return value;
    }

    static long ActiveWindowProcess()
    {
        const unsigned long active = ReadProperty(DefaultRootWindow(desktop->connection), "_NET_ACTIVE_WINDOW");
        return active ? static_cast<long>(ReadProperty(active, "_NET_WM_PID")) : 0;
    }

    void HoldControl()
    {
        const KeyCode control = XKeysymToKeycode(desktop->connection, XK_Control_L);
        XTestFakeKeyEvent(desktop->connection, control, True, CurrentTime);
        XSync(desktop->connection, False);
    }
};

TEST_P(FormFillingX11Test, AutoLoginFillsTheFormOfThePreviousWindowExactly)
{
    MessageRecorder messages;
    BuiltinTextSource texts;
    TempDir files;
    const auto databaseFile = files / "lockmere.ldb";
    {
        CDataBase written(messages, texts);
        written.Add({ToSecure(u"Web"), ToSecure(u"Shop")}, {ToSecure(Username), ToSecure(Password), {}, {}});
        ASSERT_TRUE(WriteDatabase(written, databaseFile, ToSecure(u"pw")));
    }
    // The database opens at start, as the user's last one; the password prompt is answered as soon as it shows.
    CDataBase database(messages, texts);
    COptions options;
    options.fLastDB = true;
    options.LastPath = databaseFile.u16string();
    CDlgMain window(database, options, texts, u"");
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (QWidget* prompt = QApplication::activeModalWidget()) {
            if (auto* field = prompt->findChild<QLineEdit*>(QStringLiteral("password"))) {
                field->setText(QStringLiteral("pw"));
                QMetaObject::invokeMethod(prompt, "accept", Qt::QueuedConnection);
            }
        }
    });
    answer.start(50);
    window.Start();
    answer.stop();
    ASSERT_TRUE(window.Session().IsOpen());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const auto result = files / "result";
    ChildProcess receiver(std::filesystem::path(LOCKMERE_BIN_DIR) / "lockmere_form_receiver", {result.string()},
                          {{"DISPLAY", desktop->display}, {"QT_QPA_PLATFORM", "xcb"}});
    ASSERT_TRUE(WaitWithEvents([&] { return std::filesystem::exists(result.string() + ".ready"); }, 20s))
        << "the receiver did not become the active window";
    // A person takes longer than this to turn from the form to Lockmere; the window manager announces the change.
    ASSERT_TRUE(WaitWithEvents([&] { return ActiveWindowProcess() == receiver.Pid(); }, 10s));
    WaitWithEvents([] { return false; }, 200ms);

    window.raise();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window)) << "Lockmere did not become the active window";
    SetCapsLock(GetParam().capsLock);
    window.EntryList()->SelectRow(0);
    if (GetParam().controlHeld) {
        HoldControl();
    }
    ASSERT_TRUE(window.Views().CurrentEntry()) << "no current entry";
    window.OnCommand(CommandId::EditAutoLogin);

    EXPECT_TRUE(WaitWithEvents([&] { return std::filesystem::exists(result); }, 15s))
        << "no ENTER reached the form; it holds: " << ReadText(result.string() + ".fields");
    EXPECT_EQ(ReadText(result), Typed);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(LockedModifiers() & LockMask, GetParam().capsLock ? unsigned(LockMask) : 0u)
        << "Caps Lock is as the user left it";
}

INSTANTIATE_TEST_SUITE_P(Layouts, FormFillingX11Test,
                         ::testing::Values(FormFillingCase{"UsLayout", "us", false, false},
                                           FormFillingCase{"GermanLayout", "de", false, false},
                                           FormFillingCase{"CapsLockOn", "us", true, false},
                                           FormFillingCase{"GermanWithCapsLockAndControlHeld", "de", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });
} // namespace
