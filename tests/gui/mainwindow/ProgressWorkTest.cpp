#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <sched.h>
#include <stdexcept>
#include <thread>

#include "core/database/DatabaseFile.h"
#include "core/session/DatabaseSession.h"
#include "core/session/SessionFakes.h"
#include "gui/ModalDriver.h"
#include "gui/app/GuiReporter.h"
#include "gui/mainwindow/ProgressWork.h"
#include "platform/HeldFileHandle.h"
#include "platform/ThreadPriority.h"
#include "support/EntryBuilder.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {
using namespace std::chrono_literals;

// Lets the worker wait for something the GUI thread does, without hanging a broken test for ever.
bool WaitFor(const std::atomic<bool>& flag)
{
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!flag && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
    }
    return flag;
}

class ProgressWorkTest : public ::testing::Test
{
protected:
    ProgressWorkTest() { EnsureApplication(); }

    BuiltinTextSource texts;
};

TEST_F(ProgressWorkTest, RunsTheWorkOnAWorkerWhileTheEventLoopGoesOnAndThrowsItsFailureOnTheCaller)
{
    ProgressWork runner(texts, nullptr);
    std::atomic<bool> ticked{false};
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ticked = true; });
    timer.start(5);
    std::thread::id workedOn;
    bool runningMeanwhile = false;
    runner.Run(FileWork::Saving, [&] {
        workedOn = std::this_thread::get_id();
        runningMeanwhile = runner.IsRunning();
        EXPECT_TRUE(WaitFor(ticked));
    });
    EXPECT_NE(workedOn, std::this_thread::get_id());
    EXPECT_TRUE(runningMeanwhile);
    EXPECT_FALSE(runner.IsRunning());

    EXPECT_THROW(runner.Run(FileWork::Opening, [] { throw std::runtime_error("disk gone"); }), std::runtime_error);
    EXPECT_FALSE(runner.IsRunning());
    int result = 0;
    runner.Run(FileWork::Opening, [&] { result = 42; });
    EXPECT_EQ(result, 42);
}

TEST_F(ProgressWorkTest, TheWorkRunsAsBatchWorkWithTheWindowsNiceValueAndTheWindowStaysAsItWas)
{
    ProgressWork runner(texts, nullptr);
    const ThreadScheduling window = CurrentThreadScheduling();
    ThreadScheduling work;
    runner.Run(FileWork::Opening, [&] { work = CurrentThreadScheduling(); });
    EXPECT_EQ(work.policy, SCHED_BATCH);
    EXPECT_EQ(work.nice, window.nice);
    const ThreadScheduling afterwards = CurrentThreadScheduling();
    EXPECT_EQ(afterwards.policy, window.policy);
    EXPECT_EQ(afterwards.nice, window.nice);
}

TEST_F(ProgressWorkTest, ShowsItsUnclosableProgressOnlyWhenTheWorkTakesLonger)
{
    struct Case
    {
        std::chrono::milliseconds showAfter;
        bool shown;
    };
    for (const Case& test : {Case{0ms, true}, Case{10min, false}}) {
        SCOPED_TRACE(test.shown);
        ProgressWork runner(texts, nullptr, test.showAfter);
        std::atomic<bool> seen{false};
        QString text;
        bool stillShownAfterEscape = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || seen) {
                return;
            }
            text = dialog->findChild<QLabel*>(QStringLiteral("workText"))->text();
            dialog->reject();
            dialog->close();
            stillShownAfterEscape = dialog->isVisible();
            seen = true;
        });
        poll.start(5);
        runner.Run(FileWork::Importing, [&] {
            if (test.shown) {
                EXPECT_TRUE(WaitFor(seen));
            } else {
                std::this_thread::sleep_for(50ms);
            }
        });
        EXPECT_EQ(seen, test.shown);
        if (test.shown) {
            EXPECT_EQ(text, QStringLiteral("Importing entries..."));
            EXPECT_TRUE(stillShownAfterEscape);
        }
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

TEST_F(ProgressWorkTest, MessagesOfTheWorkAppearOnTheGuiThreadInTheOrderReported)
{
    ProgressWork runner(texts, nullptr);
    CGuiReporter reporter;
    ModalDriver driver;
    std::vector<QString> shown;
    for (int message = 0; message < 2; ++message) {
        driver.Then([&shown](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            ASSERT_NE(box, nullptr);
            shown.push_back(box->text());
            box->accept();
        });
    }
    runner.Run(FileWork::Opening, [&] {
        reporter.ShowMessage(u"first", MessageIcon::Error);
        reporter.ShowMessage(u"second", MessageIcon::Warning);
    });
    EXPECT_EQ(shown, (std::vector<QString>{QStringLiteral("first"), QStringLiteral("second")}));
}

// Every question, message and view change of the session, in one list in the order they happened.
class LoggedMessages : public IMessageReporter
{
public:
    explicit LoggedMessages(std::vector<std::u16string>& log)
        : log(log)
    {}
    void ShowMessage(const std::u16string& text, MessageIcon) override { log.push_back(u"message:" + text); }

private:
    std::vector<std::u16string>& log;
};

class LoggedView : public ViewRecorder
{
public:
    explicit LoggedView(std::vector<std::u16string>& log)
        : log(log)
    {}
    void FillViews() override { log.push_back(u"fill"); }
    void ClearViews() override { log.push_back(u"clear"); }
    void EnableCommands(bool open) override { log.push_back(open ? u"enable" : u"disable"); }
    void ShowChangedEntries() override { log.push_back(u"changed"); }

private:
    std::vector<std::u16string>& log;
};

// A session over real files, whose file work runs inline or behind the window's progress.
struct LoggedSession
{
    explicit LoggedSession(IBackgroundWork& work)
        : session(database, lastPath, prompts, view, handle, work)
    {}

    BuiltinTextSource texts;
    PromptScript prompts;
    LoggedMessages messages{prompts.asked};
    LoggedView view{prompts.asked};
    CDataBase database{messages, texts};
    std::u16string lastPath;
    HeldFileHandle handle;
    DatabaseSession session;
};

TEST_F(ProgressWorkTest, TheSessionAsksAndReportsInTheSameOrderAsWithoutIt)
{
    TempDir folder;
    const auto path = folder / "db.ldb";
    const auto other = folder / "other.ldb";
    const auto bad = MakeEntry(u"Web", u"Bad", u"", u"", u"", std::u16string(FieldTerminatorView));
    const auto openWithWrongPasswordFirst = [&](LoggedSession& logged) {
        logged.prompts.OpenFile(path);
        logged.prompts.Password(u"wrong");
        logged.prompts.Password(u"own");
        logged.session.OpenDatabase();
    };
    struct Case
    {
        const char* name;
        std::function<void(LoggedSession&)> run;
    };
    const std::vector<Case> cases = {
        {"open after a wrong password", openWithWrongPasswordFirst},
        {"add and save",
         [&](LoggedSession& logged) {
             openWithWrongPasswordFirst(logged);
             logged.session.AddEntry(MakeEntry(u"Mail", u"Box").Key(), MakeEntry(u"Mail", u"Box").Fields());
         }},
        {"a failed save undoes the add",
         [&](LoggedSession& logged) {
             openWithWrongPasswordFirst(logged);
             logged.session.AddEntry(bad.Key(), bad.Fields());
         }},
        {"merge with a wrong password, then with the right one",
         [&](LoggedSession& logged) {
             openWithWrongPasswordFirst(logged);
             logged.prompts.OpenFile(other);
             logged.prompts.Password(u"own");
             logged.prompts.OpenFile(other);
             logged.prompts.Password(u"theirs");
             logged.session.MergeImport();
         }},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        std::vector<std::vector<std::u16string>> logs;
        std::vector<std::size_t> sizes;
        ProgressWork behindProgress(texts, nullptr, 0ms);
        for (IBackgroundWork* work : std::initializer_list<IBackgroundWork*>{&InlineWork::Shared(), &behindProgress}) {
            MessageRecorder quiet;
            CDataBase file(quiet, texts);
            file.Add(MakeEntry(u"Web", u"Bank").Key(), MakeEntry(u"Web", u"Bank").Fields());
            ASSERT_TRUE(WriteDatabase(file, path, ToSecure(u"own")));
            ASSERT_TRUE(WriteDatabase(file, other, ToSecure(u"theirs")));
            LoggedSession logged(*work);
            test.run(logged);
            logs.push_back(logged.prompts.asked);
            sizes.push_back(logged.database.Size());
        }
        EXPECT_EQ(logs[0], logs[1]);
        EXPECT_EQ(sizes[0], sizes[1]);
    }
}

// The first change after an open fingerprints every entry before it saves, a second's work at a million entries:
// it reaches the runner like the save, so that the window keeps painting through both.
TEST_F(ProgressWorkTest, TheFirstChangesFingerprintsRunAsFileWork)
{
    struct CountingWork : IBackgroundWork
    {
        std::vector<FileWork> kinds;
        void Run(FileWork kind, const std::function<void()>& work) override
        {
            kinds.push_back(kind);
            work();
        }
    } counting;
    TempDir folder;
    const auto path = folder / "db.ldb";
    MessageRecorder quiet;
    CDataBase file(quiet, texts);
    file.Add(MakeEntry(u"Web", u"Bank").Key(), MakeEntry(u"Web", u"Bank").Fields());
    ASSERT_TRUE(WriteDatabase(file, path, ToSecure(u"own")));
    LoggedSession logged(counting);
    logged.prompts.OpenFile(path);
    logged.prompts.Password(u"own");
    logged.session.OpenDatabase();
    ASSERT_EQ(logged.database.Size(), 1u);
    for (const auto& [title, expected] : {std::pair{u"One", std::vector{FileWork::Saving, FileWork::Saving}},
                                          std::pair{u"Two", std::vector{FileWork::Saving}}}) {
        counting.kinds.clear();
        const Entry added = MakeEntry(u"Mail", title);
        EXPECT_EQ(logged.session.AddEntry(added.Key(), added.Fields()), ChangeResult::Saved);
        EXPECT_EQ(counting.kinds, expected) << counting.kinds.size();
    }
}
} // namespace
