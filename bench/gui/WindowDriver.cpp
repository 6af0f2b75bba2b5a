#include "WindowDriver.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "BenchDatabase.h"
#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"

namespace WindowDriver {
namespace {
// 40 groups, titles, user names, passwords, addresses and notes of a sentence or two.
void AddRealisticEntries(CDataBase& database, std::size_t count)
{
    std::mt19937 random(42);
    for (std::size_t i = 0; i < count; ++i) {
        EntryKey key{ToSecure(u"Group " + ToU16(i % 40)), RandomText(random, 10, 30) + ToSecure(ToU16(i))};
        database.Add(key, {RandomText(random, 6, 20), RandomText(random, 16, 24),
                           ToSecure(u"https://") + RandomText(random, 12, 52), RandomText(random, 40, 140)});
    }
}
} // namespace

const QString& Password()
{
    static const QString password = QStringLiteral("benchmark password");
    return password;
}

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

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
        const bool written = WriteDatabase(bench.database, path, ToSecure(Password().toStdU16String()));
        ::_exit(written ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? path : std::filesystem::path();
}

LastDatabaseSettings::LastDatabaseSettings(const std::filesystem::path& file)
{
    translation.Load(u"");
    options.fLastDB = true;
    options.LastPath = file.u16string();
}

EventLoopGaps::EventLoopGaps()
{
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [this] { longest = std::max(longest, sinceLast.restart()); });
}

void EventLoopGaps::Start()
{
    sinceLast.start();
    timer.start(10);
}

double EventLoopGaps::Stop()
{
    longest = std::max(longest, sinceLast.elapsed());
    timer.stop();
    const auto result = static_cast<double>(longest);
    longest = 0;
    return result;
}

DialogAnswers::DialogAnswers(std::function<void()> answered)
    : answered(std::move(answered))
{
    QObject::connect(&poll, &QTimer::timeout, [this] { Answer(); });
    poll.start(5);
}

void DialogAnswers::Answer()
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
        dialog->findChild<QLineEdit*>(QStringLiteral("password"))->setText(Password());
    }
    answered();
    dialog->accept();
}
} // namespace WindowDriver
