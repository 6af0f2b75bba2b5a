#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "BenchDatabase.h"
#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/settings/Options.h"
#include "core/settings/Translate.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/DlgMain.h"
#include "gui/mainwindow/EntryListView.h"
#include "gui/mainwindow/EntryViews.h"

// The main window at a million entries: opening, adding (with its save), sorting and filling the views all complete,
// the event loop is never kept from running for long while the file is read or written, and the memory stays a small
// multiple of the decrypted text.
namespace {
using Clock = std::chrono::steady_clock;
const QString Password = QStringLiteral("benchmark password");

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Entries of about 430 bytes of text each, the size measured in real databases: 40 groups, titles, user names,
// passwords, addresses and notes of a sentence or two.
void AddRealisticEntries(CDataBase& database, std::size_t count)
{
    std::mt19937 random(42);
    for (std::size_t i = 0; i < count; ++i) {
        EntryKey key{ToSecure(u"Group " + ToU16(i % 40)), RandomText(random, 10, 30) + ToSecure(ToU16(i))};
        database.Add(key, {RandomText(random, 6, 20), RandomText(random, 16, 24),
                           ToSecure(u"https://") + RandomText(random, 12, 52), RandomText(random, 40, 140)});
    }
}

// The database file, written by a child process: the parent's peak memory is then the window's alone.
std::filesystem::path CachedDatabaseFile(std::size_t count)
{
    const auto path = std::filesystem::temp_directory_path() /
                      ("lockmere-window-bench-" + std::to_string(::getpid()) + "-" + std::to_string(count) + ".ldb");
    if (std::filesystem::exists(path)) {
        return path;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        BenchDatabase bench(0);
        AddRealisticEntries(bench.database, count);
        const bool written = WriteDatabase(bench.database, path, ToSecure(Password.toStdU16String()));
        ::_exit(written ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? path : std::filesystem::path();
}

// The longest time the event loop went without running a 10 ms timer.
class EventLoopGaps
{
public:
    EventLoopGaps()
    {
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, [this] { longest = std::max(longest, sinceLast.restart()); });
    }
    void Start()
    {
        sinceLast.start();
        timer.start(10);
    }
    // The longest gap since Start, in milliseconds.
    double Stop()
    {
        longest = std::max(longest, sinceLast.elapsed());
        timer.stop();
        const auto result = static_cast<double>(longest);
        longest = 0;
        return result;
    }

private:
    QTimer timer;
    QElapsedTimer sinceLast;
    qint64 longest = 0;
};

// Plays the user at the window's password and entry dialogs; `answered` runs once a dialog has been accepted.
class DialogAnswers
{
public:
    explicit DialogAnswers(std::function<void()> answered)
        : answered(std::move(answered))
    {
        QObject::connect(&poll, &QTimer::timeout, [this] { Answer(); });
        poll.start(5);
    }
    // When the last entry dialog showed, from the start of the command.
    double dialogShownMs = 0;
    Clock::time_point commandStart;

private:
    void Answer()
    {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || dialog == last || dialog->objectName() == QStringLiteral("workProgress")) {
            return;
        }
        last = dialog;
        if (auto* title = dialog->findChild<QLineEdit*>(QStringLiteral("title"))) {
            dialogShownMs = MillisecondsSince(commandStart);
            dialog->findChild<QComboBox*>(QStringLiteral("group"))->setEditText(QStringLiteral("Group 7"));
            title->setText(QStringLiteral("Added by the benchmark"));
            dialog->findChild<QLineEdit*>(QStringLiteral("password"))->setText(QStringLiteral("x"));
            dialog->findChild<QLineEdit*>(QStringLiteral("repeat"))->setText(QStringLiteral("x"));
        } else {
            dialog->findChild<QLineEdit*>(QStringLiteral("password"))->setText(Password);
        }
        answered();
        dialog->accept();
    }

    std::function<void()> answered;
    QTimer poll;
    QDialog* last = nullptr;
};

class CountingReporter : public IMessageReporter
{
public:
    void ShowMessage(const std::u16string&, MessageIcon) override { ++messages; }
    int messages = 0;
};

void BM_WindowOpenAddSort(benchmark::State& state)
{
    const auto count = static_cast<std::size_t>(state.range(0));
    const std::filesystem::path file = CachedDatabaseFile(count);
    if (file.empty()) {
        state.SkipWithError("cannot write the database file");
        return;
    }
    const double plaintextBytes = static_cast<double>(std::filesystem::file_size(file));
    CTranslate translation{std::filesystem::path()};
    translation.Load(u"");
    CountingReporter reporter;
    COptions options;
    options.fLastDB = true;
    options.LastPath = file.u16string();
    EventLoopGaps gaps;
    for (auto _ : state) {
        CDataBase database(reporter, translation);
        CDlgMain window(database, options, translation, u"");
        window.resize(1000, 700);
        DialogAnswers answers([&gaps] { gaps.Start(); });

        auto start = Clock::now();
        window.Start();
        const double openMs = MillisecondsSince(start);
        const double openGapMs = gaps.Stop();
        if (!window.Session().IsOpen() || database.Size() != count) {
            state.SkipWithError("the database did not open");
            return;
        }

        answers.commandStart = start = Clock::now();
        window.OnCommand(CommandId::EditAddEntry);
        const double addMs = MillisecondsSince(start);
        const double saveGapMs = gaps.Stop();
        if (database.Size() != count + 1 || reporter.messages != 0) {
            state.SkipWithError("the entry was not added");
            return;
        }

        start = Clock::now();
        window.OnCommand(CommandId::EditSortTitle);
        QApplication::processEvents();
        const double sortMs = MillisecondsSince(start);

        start = Clock::now();
        window.Views().FillViews(true);
        QApplication::processEvents();
        const double fillMs = MillisecondsSince(start);

        gaps.Start();
        start = Clock::now();
        window.OnCommand(CommandId::FileClose);
        const double closeMs = MillisecondsSince(start);
        const double closeGapMs = gaps.Stop();

        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        state.counters["open_ms"] = openMs;
        state.counters["open_gap_ms"] = openGapMs;
        state.counters["add_ms"] = addMs;
        state.counters["save_gap_ms"] = saveGapMs;
        state.counters["edit_dialog_ms"] = answers.dialogShownMs;
        state.counters["sort_ms"] = sortMs;
        state.counters["fill_ms"] = fillMs;
        state.counters["close_ms"] = closeMs;
        state.counters["close_gap_ms"] = closeGapMs;
        state.counters["plaintext_mb"] = plaintextBytes / 1e6;
        state.counters["peak_to_plaintext"] = static_cast<double>(usage.ru_maxrss) * 1024.0 / plaintextBytes;
    }
    std::filesystem::remove(file);
}
BENCHMARK(BM_WindowOpenAddSort)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace
