#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QMimeData>
#include <QTest>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

#include "core/database/DatabaseFile.h"
#include "core/settings/Options.h"
#include "gui/GuiTestSupport.h"
#include "gui/ModalDriver.h"
#include "gui/mainwindow/AutoLock.h"
#include "gui/mainwindow/ClipboardClearer.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/DlgMain.h"
#include "gui/mainwindow/EntryListView.h"
#include "gui/mainwindow/QtSecretClipboard.h"
#include "gui/mainwindow/WindowOnFakeDesktop.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

using namespace CommandId;

namespace {
TEST(ClipboardClearerTest, ClearsOnTheTickAfterTheLimitCountedFromTheLastCopy)
{
    struct Case
    {
        const char* name;
        std::vector<int> copySeconds; // when the copies happen, in whole seconds from the start
        SecureString copied;
        int clearedAt; // the second after which the clipboard is empty; 0: never within 30 s
        bool timed = true;
    };
    const std::vector<Case> cases = {
        {"one copy", {0}, ToSecure(u"pw"), 6},
        {"a second copy moves the clearing", {0, 4}, ToSecure(u"pw"), 10},
        {"an empty value copies nothing but still clears", {0}, SecureString(), 6},
        {"without timed clearing nothing is cleared", {0}, ToSecure(u"pw"), 0, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        COptions options;
        options.fClearClipboardTime = test.timed;
        options.uClearClipboardTime = 5;
        RecordingClipboard clipboard;
        ManualTimer timer;
        ClipboardClearer clearer(clipboard, timer, options);
        clipboard.held = ToSecure(u"copied by another program");
        int clearedAt = 0;
        for (int second = 0; second <= 30 && clearedAt == 0; ++second) {
            if (std::find(test.copySeconds.begin(), test.copySeconds.end(), second) != test.copySeconds.end()) {
                clearer.Copy(test.copied);
                if (!test.copied.empty()) {
                    EXPECT_EQ(clipboard.held, test.copied);
                }
                // Another program copies afterwards: the timed clearing takes that too.
                clipboard.held = ToSecure(u"copied by another program");
            }
            timer.Tick();
            if (!clipboard.held) {
                clearedAt = second + 1;
            }
        }
        EXPECT_EQ(clearedAt, test.clearedAt);
        EXPECT_FALSE(clearer.IsCounting());
    }
}

TEST(ClipboardClearerTest, ClearNowLeavesTheCountAndExitClearsOnlyWhenAsked)
{
    COptions options;
    options.fClearClipboardTime = true;
    RecordingClipboard clipboard;
    ManualTimer timer;
    ClipboardClearer clearer(clipboard, timer, options);
    clearer.Copy(ToSecure(u"pw"));
    EXPECT_TRUE(clearer.ClearNow());
    EXPECT_TRUE(clearer.IsCounting());
    clipboard.works = false;
    EXPECT_FALSE(clearer.ClearNow());

    clipboard.works = true;
    for (const bool clearAtExit : {false, true}) {
        options.fClearClipboardExit = clearAtExit;
        clipboard.held = ToSecure(u"anything");
        clearer.ClearAtExit();
        EXPECT_EQ(clipboard.held.has_value(), !clearAtExit);
    }
}

TEST(AutoLockTest, LocksAfterTheLimitOfInactivityOnlyWhenItMayCount)
{
    struct Case
    {
        const char* name;
        bool enabled;
        bool mayCount;
        int inactiveSeconds;
        bool locked;
    };
    const std::vector<Case> cases = {
        {"away for 12 s of 10", true, true, 12, true},     {"back after 5 s", true, true, 5, false},
        {"away just to the limit", true, true, 10, false}, {"a dialog of the program is open", true, false, 12, false},
        {"automatic locking off", false, true, 12, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        COptions options;
        options.fLockDBAuto = test.enabled;
        options.uLockDBAutoTime = 10;
        ManualTimer timer;
        int locks = 0;
        AutoLock lock(
            timer, options, [&] { return test.mayCount; }, [&] { ++locks; });
        lock.ApplicationDeactivated();
        timer.Tick(test.inactiveSeconds);
        lock.ApplicationActivated();
        timer.Tick(30);
        EXPECT_EQ(locks, test.locked ? 1 : 0);
        EXPECT_FALSE(lock.IsCounting());
    }
}

TEST(QtSecretClipboardTest, PutsTheTextOnTheClipboardMarkedAsSecretAndClearsIt)
{
    EnsureApplication();
    QtSecretClipboard clipboard;
    ASSERT_TRUE(clipboard.PutSecret(ToSecure(u"s3cret")));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), QStringLiteral("s3cret"));
    EXPECT_EQ(data->data(QStringLiteral("x-kde-passwordManagerHint")), QByteArrayLiteral("secret"));
    // First, so that a compositor keeping one type of each selection keeps the hint, not the password.
    EXPECT_EQ(data->formats().value(0), QStringLiteral("x-kde-passwordManagerHint"));
    ASSERT_TRUE(clipboard.Clear());
    EXPECT_TRUE(QGuiApplication::clipboard()->text(QClipboard::Clipboard).isEmpty());
}

// The main window with an open database, its clipboard and timers faked.
class WindowClipboardAndLockTest : public WindowOnFakeDesktop
{
protected:
    WindowClipboardAndLockTest()
        : WindowOnFakeDesktop(false)
    {}

    void SetUp() override
    {
        WriteDatabaseOf(MakeEntry(u"Web", u"Bank", u"alice", u"pw1", u"https://bank"));
        options.fLastDB = true;
        CreateWindow(u"");
        driver.Then(TypePassword(QStringLiteral("pw")));
        window->Start();
        ASSERT_TRUE(window->Session().IsOpen());
        window->EntryList()->SelectRow(0);
        messages.Reset();
    }
};

TEST_F(WindowClipboardAndLockTest, CopyCommandsCopyTheCurrentEntrysFields)
{
    const std::vector<std::pair<int, std::u16string>> cases = {
        {EditCopyUser, u"alice"}, {EditCopyPassword, u"pw1"}, {EditCopyUrl, u"https://bank"}};
    for (const auto& [command, expected] : cases) {
        window->OnCommand(command);
        EXPECT_EQ(desktop.clipboard->held, ToSecure(expected));
    }
}

TEST_F(WindowClipboardAndLockTest, ClearClipboardReportsOnlyWhenItCleared)
{
    for (const bool works : {true, false}) {
        messages.Reset();
        desktop.clipboard->works = works;
        window->OnCommand(EditClearClipboard);
        EXPECT_EQ(messages.Texts().size(), works ? 1u : 0u);
        if (works) {
            EXPECT_EQ(messages.Texts()[0], u"Clipboard has been cleared.");
        }
    }
}

TEST_F(WindowClipboardAndLockTest, InactivityLocksAndMinimisesButNotWhileADialogIsOpen)
{
    options.fLockDBAuto = true;
    options.uLockDBAutoTime = 10;
    window->show();
    QDialog dialog(window.get());
    dialog.show();
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(desktop.lockTimer->IsActive());
    dialog.hide();

    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    desktop.lockTimer->Tick(11);
    EXPECT_TRUE(window->Session().IsLocked());
    EXPECT_TRUE(database.Empty());
    EXPECT_TRUE(window->isMinimized());
}

TEST_F(WindowClipboardAndLockTest, InactivityDuringFileWorkLocksOnlyOnceTheWorkHasEnded)
{
    options.fLockDBAuto = true;
    options.uLockDBAutoTime = 10;
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    std::atomic<bool> ticked{false};
    bool lockedMeanwhile = true;
    std::size_t entriesMeanwhile = 0;
    QTimer::singleShot(0, window.get(), [&] {
        desktop.lockTimer->Tick(11);
        lockedMeanwhile = window->Session().IsLocked();
        ticked = true;
    });
    window->Session().Work().Run(FileWork::Saving, [&] {
        while (!ticked) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        entriesMeanwhile = database.Size();
    });
    EXPECT_FALSE(lockedMeanwhile);
    EXPECT_EQ(entriesMeanwhile, 1u);
    EXPECT_TRUE(QTest::qWaitFor([this] { return window->Session().IsLocked(); }, 5000));
    EXPECT_TRUE(database.Empty());
}

TEST_F(WindowClipboardAndLockTest, ExitClearsTheClipboardWhenAsked)
{
    options.fClearClipboardExit = true;
    window->OnCommand(EditCopyPassword);
    window->OnCommand(TrayExit);
    EXPECT_FALSE(desktop.clipboard->held);
}
} // namespace
