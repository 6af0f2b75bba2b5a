#include <gmock/gmock.h>
#include <sys/stat.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <functional>
#include <optional>

#include "core/settings/BuiltinTexts.h"
#include "gui/app/App.h"
#include "platform/SettingsFolder.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

using ::testing::ElementsAre;

namespace {
QApplication& Application()
{
    static int argc = 1;
    static char name[] = "lockmere_gui_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at process exit Qt's clean-up would run after the statics it needs are gone.
    if (QApplication::instance() == nullptr) {
        new QApplication(argc, argv);
    }
    return *qApp;
}

// Sets an environment variable for the life of the object.
class ScopedEnvironment
{
public:
    ScopedEnvironment(const char* name, const std::string& value)
        : name(name)
    {
        if (const char* old = std::getenv(name)) {
            previous = old;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment()
    {
        if (previous) {
            ::setenv(name, previous->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name;
    std::optional<std::string> previous;
};
} // namespace

// The start-up sequence run in the test process, with its own settings folder and lock folder.
class AppStartUp : public ::testing::Test
{
protected:
    AppStartUp()
    {
        Application();
        std::filesystem::create_directories(folder / "appdata");
        std::filesystem::create_directories(runtimeFolder);
        ::chmod(runtimeFolder.c_str(), 0700);
    }

    // Runs the application; `whileShown` sees the main window once it is up, then the window is closed.
    int RunClosingTheWindow(CApp& app, const std::function<void(QWidget&)>& whileShown = {})
    {
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (QWidget* window = QApplication::activeModalWidget()) {
                poll.stop();
                windowsShown++;
                if (whileShown) {
                    whileShown(*window);
                }
                window->close();
            }
        });
        poll.start(10);
        return app.Run();
    }

    std::filesystem::path SettingsFile() const { return folder / "appdata" / "Tavilo" / "Lockmere.xml"; }

    TempDir folder;
    std::filesystem::path runtimeFolder = folder / "run";
    ScopedEnvironment appData{"APPDATA", (folder / "appdata").string()};
    ScopedEnvironment runtime{"XDG_RUNTIME_DIR", runtimeFolder.string()};
    MessageRecorder messages;
    int windowsShown = 0;
};

TEST_F(AppStartUp, RunsTheMainWindowWithTheProgramsTitle)
{
    CApp app(messages);
    QString title;
    EXPECT_EQ(RunClosingTheWindow(app, [&](QWidget& window) { title = window.windowTitle(); }), 0);
    EXPECT_EQ(windowsShown, 1);
    EXPECT_EQ(title, QStringLiteral("Lockmere"));
    EXPECT_THAT(messages.Texts(), ElementsAre());
}

TEST_F(AppStartUp, SavesTheSettingsAfterTheMainWindowEnds)
{
    CApp app(messages);
    bool savedWhileShown = true;
    RunClosingTheWindow(app, [&](QWidget&) {
        savedWhileShown = std::filesystem::exists(SettingsFile());
        app.Options().uClearClipboardTime = 42;
    });
    EXPECT_FALSE(savedWhileShown);

    COptions saved;
    saved.Load(messages, SettingsFilePath());
    EXPECT_EQ(saved.uClearClipboardTime, 42);
}

TEST_F(AppStartUp, LoadsTheSettingsBeforeTheMainWindow)
{
    COptions stored;
    stored.fTop = true;
    stored.uLockDBAutoTime = 77;
    ASSERT_TRUE(stored.Save(messages, PrepareSettingsFile()));

    CApp app(messages);
    std::optional<COptions> seen;
    RunClosingTheWindow(app, [&](QWidget&) { seen = app.Options(); });
    ASSERT_TRUE(seen);
    EXPECT_TRUE(seen->fTop);
    EXPECT_EQ(seen->uLockDBAutoTime, 77);
}

TEST_F(AppStartUp, ASecondCopyShowsTheMessageAndEndsWithoutTouchingTheSettings)
{
    COptions stored;
    stored.fTop = true;
    ASSERT_TRUE(stored.Save(messages, PrepareSettingsFile()));
    const std::string settingsBefore = ReadFileBytes(SettingsFile());
    SingleInstance firstCopy(CApp::InstanceLockName);
    ASSERT_TRUE(firstCopy.IsFirst());

    CApp app(messages);
    EXPECT_EQ(RunClosingTheWindow(app), 0);
    EXPECT_EQ(windowsShown, 0);
    EXPECT_THAT(messages.Texts(), ElementsAre(u"The program is already running."));
    EXPECT_EQ(ReadFileBytes(SettingsFile()), settingsBefore);
}

TEST_F(AppStartUp, ASecondCopyWritesNoSettingsFileWhereThereWasNone)
{
    SingleInstance firstCopy(CApp::InstanceLockName);
    CApp app(messages);
    app.Run();
    EXPECT_FALSE(std::filesystem::exists(SettingsFile().parent_path()));
}

TEST_F(AppStartUp, KnowsTheProgramPathAndTheTexts)
{
    CApp app(messages);
    RunClosingTheWindow(app);
    EXPECT_EQ(app.ProgramPath(), std::filesystem::read_symlink("/proc/self/exe"));
    EXPECT_EQ(app.Text(TextId::InvalidPassword), u"Invalid password.");
    EXPECT_TRUE(app.Database().Empty());
}

TEST_F(AppStartUp, TheLockIsKeptAfterTheMainWindowEndsUntilTheApplicationGoes)
{
    {
        CApp app(messages);
        RunClosingTheWindow(app);
        EXPECT_FALSE(SingleInstance(CApp::InstanceLockName).IsFirst());
    }
    EXPECT_TRUE(SingleInstance(CApp::InstanceLockName).IsFirst());
}
