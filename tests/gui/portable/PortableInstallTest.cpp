#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gmock/gmock.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>

#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/portable/ExclusiveCopy.h"
#include "core/settings/Translate.h"
#include "core/settings/XML.h"
#include "gui/ModalDriver.h"
#include "gui/portable/DlgPVInstall.h"
#include "gui/settings/DlgOptions.h"
#include "support/ChildProcess.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"
#include "support/XvfbServer.h"

using ::testing::IsEmpty;

namespace {
// Holds every copy until the test lets it go.
class CopyGate
{
public:
    bool Copy(const std::filesystem::path& from, const std::filesystem::path& to)
    {
        std::unique_lock lock(mutex);
        waiting = true;
        changed.notify_all();
        changed.wait(lock, [this] { return open; });
        return CopyFileExclusively(from, to);
    }
    void WaitForACopy()
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return waiting; });
    }
    void Open()
    {
        std::lock_guard lock(mutex);
        open = true;
        changed.notify_all();
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    bool waiting = false;
    bool open = false;
};

TEST(DlgPVInstallTest, CancelAsksTheWorkerToStopAndTheDialogStaysUntilItHas)
{
    EnsureApplication();
    TempDir folder;
    std::filesystem::create_directory(folder / "program");
    WriteFileBytes(folder / "program" / "Lockmere", "starter");
    WriteFileBytes(folder / "program" / "Lockmere.exe", "program");
    WriteFileBytes(folder / "program" / "Readme.txt", "readme");
    BuiltinTextSource texts;
    MessageRecorder messages;
    CopyGate gate;
    PortableInstaller installer({Utf8ToUtf16(folder.Path().string()), true, false, false}, COptions(), texts,
                                {FindPortableSources(folder / "program"),
                                 {},
                                 [](const std::filesystem::path&) { return std::uint64_t{1} << 30; },
                                 [&](const auto& from, const auto& to) { return gate.Copy(from, to); }});
    CDlgPVInstall dialog(std::move(installer), texts, messages);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Install in progress..."));
    ModalDriver driver;
    driver.Then([&](QWidget*) {
        gate.WaitForACopy();
        QTest::mouseClick(dialog.findChild<QPushButton*>(), Qt::LeftButton);
        dialog.close();
        QTest::qWait(50);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(dialog.IsRunning());
        gate.Open();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_FALSE(dialog.IsRunning());
    EXPECT_THAT(messages.Texts(), IsEmpty());
    // The launcher was being copied when Cancel came: it is finished, the program file and the texts are not begun.
    EXPECT_TRUE(std::filesystem::exists(folder / "Lockmere" / "Lockmere"));
    EXPECT_FALSE(std::filesystem::exists(folder / "Lockmere" / "Lockmere.exe"));
    EXPECT_FALSE(std::filesystem::exists(folder / "Lockmere" / "Readme.txt"));
    EXPECT_EQ(dialog.findChild<QProgressBar*>()->value(), 10);
}

// A virtual X server of the test's own, on a display it picks itself.
class VirtualDisplay
{
public:
    VirtualDisplay() { started = server.Start().empty(); }
    bool Started() const { return started; }
    const std::string& Name() const { return server.Display(); }

    // The titles of every window on the display, one a line.
    std::string WindowNames() const
    {
        return RunProgram("/bin/sh", {"-c", "xwininfo -root -tree -display " + Name()}).out;
    }

private:
    XvfbServer server;
    bool started = false;
};

std::size_t FilesUnder(const std::filesystem::path& folder)
{
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        count += entry.is_directory() ? 0 : 1;
    }
    return count;
}

TEST(PortableEditionTest, InstalledThroughTheDialogItRunsOnItsOwnSettingsAndLanguageBesideItself)
{
    EnsureApplication();
    TempDir folder;
    for (const char* name : {"target", "home", "runtime"}) {
        std::filesystem::create_directory(folder / name);
    }
    ::chmod((folder / "runtime").c_str(), 0700);
    MessageRecorder messages;
    CTranslate translation(LOCKMERE_BIN_DIR);
    translation.Load(u"German");
    CDataBase database(messages, translation);
    ASSERT_TRUE(WriteDatabase(database, folder / "my.ldb", ToSecure(u"pw")));
    COptions options;
    options.Language = u"German";
    options.LastPath = Utf8ToUtf16((folder / "my.ldb").string());

    CDlgOptions dialog(options, translation, messages);
    dialog.findChild<QLineEdit*>(QStringLiteral("path"))->setText(QString::fromStdString((folder / "target").string()));
    dialog.findChild<QCheckBox*>(QStringLiteral("copyDatabase"))->setChecked(true);
    ModalDriver driver;
    driver.Then([](QWidget*) {});
    dialog.findChild<QPushButton*>(QStringLiteral("install"))->click();
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(messages.Texts()[0].rfind(translation.Text(96), 0), 0u);
    const std::filesystem::path installed = folder / "target" / "Lockmere";
    for (const char* name : {"Lockmere.exe", "Lockmere.xml", "German.lng", "Russian.lng", "Readme.txt", "my.ldb"}) {
        EXPECT_TRUE(std::filesystem::exists(installed / name)) << name;
    }

    VirtualDisplay display;
    if (!display.Started()) {
        GTEST_SKIP() << "no X server could be started";
    }
    // Reopening the copied database at start shows the password dialog, titled in the copied language.
    {
        CXML settings;
        ASSERT_TRUE(settings.LoadFile(installed / "Lockmere.xml"));
        settings.SetValue(u"fLastDB", u"1");
        settings.SetValue(u"LastPath", Utf8ToUtf16((installed / "my.ldb").string()));
        settings.Save(installed / "Lockmere.xml");
    }
    ChildProcess program(installed / "Lockmere.exe", {},
                         {{"HOME", (folder / "home").string()},
                          {"DISPLAY", display.Name()},
                          {"QT_QPA_PLATFORM", "xcb"},
                          {"APPDATA", ""},
                          {"XDG_CONFIG_HOME", ""},
                          {"XDG_RUNTIME_DIR", (folder / "runtime").string()}});
    const std::string title = "\"" + Utf16ToUtf8(translation.Text(30)) + "\"";
    EXPECT_TRUE(WaitUntil([&] {
        return display.WindowNames().find(title) != std::string::npos || !program.IsRunning();
    })) << display.WindowNames();
    EXPECT_TRUE(program.IsRunning());
    program.Kill(SIGTERM);
    program.WaitForExit(std::chrono::seconds(10));
    EXPECT_EQ(FilesUnder(folder / "home"), 0u);
}
} // namespace
