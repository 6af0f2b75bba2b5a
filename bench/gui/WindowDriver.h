#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>

#include "core/common/Reporter.h"
#include "core/settings/Options.h"
#include "core/settings/Translate.h"

class QDialog;

// What the window's benchmarks share: the database file they open, a user who answers the window's dialogs, and a
// watch on the event loop.
namespace WindowDriver {
using Clock = std::chrono::steady_clock;

// The master password of every database file written here.
const QString& Password();

double MillisecondsSince(Clock::time_point start);

// A file of `count` entries of about 430 bytes of text each, the size measured in real databases, written by a child
// process so that the parent's peak memory is the window's alone, and kept for the next call with the same count.
// Empty when it could not be written.
std::filesystem::path CachedDatabaseFile(std::size_t count);

// The longest time the event loop went without running a 10 ms timer.
class EventLoopGaps
{
public:
    EventLoopGaps();
    void Start();
    // The longest gap since Start, in milliseconds.
    double Stop();

private:
    QTimer timer;
    QElapsedTimer sinceLast;
    qint64 longest = 0;
};

// Plays the user at the window's password and entry dialogs; `answered` runs once a dialog has been filled in, just
// before it is accepted.
class DialogAnswers
{
public:
    explicit DialogAnswers(std::function<void()> answered);
    // When the last entry dialog showed, from the start of the command.
    double dialogShownMs = 0;
    Clock::time_point commandStart;

private:
    void Answer();

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

// What a window needs to open `file` as it starts, as a user who left it open last time: the English texts, the
// settings, and a reporter that counts the messages.
struct LastDatabaseSettings
{
    explicit LastDatabaseSettings(const std::filesystem::path& file);

    CTranslate translation{std::filesystem::path()};
    CountingReporter reporter;
    COptions options;
};
} // namespace WindowDriver
