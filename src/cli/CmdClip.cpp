#include <algorithm>
#include <cerrno>
#include <csignal>
#include <ctime>

#include "cli/Arguments.h"
#include "cli/CliDatabase.h"
#include "cli/ClipboardTool.h"
#include "cli/Commands.h"
#include "cli/Confirmation.h"
#include "cli/FieldArgument.h"
#include "cli/NumberArgument.h"
#include "core/common/Utf.h"
#include "core/settings/Options.h"

namespace {
constexpr int LongestTimeout = 24 * 60 * 60;

int TimeoutOf(const CliContext& context, const CArguments& parsed)
{
    if (const auto given = parsed.Option("--timeout")) {
        return NumberArgument(*given, 1, LongestTimeout, "--timeout");
    }
    // The desktop program's setting, whether or not it clears there: a copy left on the clipboard is a leak.
    const int configured = context.options != nullptr ? context.options->uClearClipboardTime : 0;
    return configured > 0 ? std::min(configured, LongestTimeout) : COptions().uClearClipboardTime;
}

// Holds back every signal that ends a session from before the copy is made until the clipboard is cleared, so that
// each of them ends the wait and clears the copy instead of ending the program with the copy left on the clipboard:
// Ctrl-C, Ctrl-\ (quit), the end of the terminal or session, kill, and an output whose reader has gone (SIGPIPE).
class EndingSignalsHeld
{
public:
    EndingSignalsHeld()
    {
        sigemptyset(&ending);
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) {
            sigaddset(&ending, signal);
        }
        ::sigprocmask(SIG_BLOCK, &ending, &previous);
    }
    ~EndingSignalsHeld() { ::sigprocmask(SIG_SETMASK, &previous, nullptr); }
    EndingSignalsHeld(const EndingSignalsHeld&) = delete;
    EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;

    // Waits the seconds, or less when one of the signals comes (or came while the copy was made).
    void Wait(int seconds) const
    {
        timespec deadline{};
        ::clock_gettime(CLOCK_MONOTONIC, &deadline);
        deadline.tv_sec += seconds;
        for (;;) {
            timespec now{};
            ::clock_gettime(CLOCK_MONOTONIC, &now);
            timespec left{deadline.tv_sec - now.tv_sec, deadline.tv_nsec - now.tv_nsec};
            if (left.tv_nsec < 0) {
                left.tv_nsec += 1000000000L;
                --left.tv_sec;
            }
            if (left.tv_sec < 0 || ::sigtimedwait(&ending, nullptr, &left) >= 0 || errno != EINTR) {
                return;
            }
        }
    }

private:
    sigset_t ending{};
    sigset_t previous{};
};

// Clears the copy when the command fails between the copy and the wait (its messages cannot be written, say): a copy
// that nobody clears stays on the clipboard for ever.
class ClearedOnFailure
{
public:
    ClearedOnFailure(const CClipboardTool& clipboard, const SecureUtf8& value)
        : clipboard(clipboard)
        , value(value)
    {}
    ~ClearedOnFailure()
    {
        if (!waited) {
            try {
                if (clipboard.Holds(value)) {
                    clipboard.Clear();
                }
            } catch (...) {
                // Already failing: the first failure is the one reported.
            }
        }
    }
    ClearedOnFailure(const ClearedOnFailure&) = delete;
    ClearedOnFailure& operator=(const ClearedOnFailure&) = delete;

    void Waited() { waited = true; }

private:
    const CClipboardTool& clipboard;
    const SecureUtf8& value;
    bool waited = false;
};

std::string Seconds(int count)
{
    return std::to_string(count) + (count == 1 ? " second" : " seconds");
}

int Run(CliContext& context, const std::vector<std::string>& arguments)
{
    const CArguments parsed(arguments, {"--field", "--timeout"});
    parsed.ExpectPositional(3);
    const EntryKey key{parsed.Text(1), parsed.Text(2)};
    const auto fieldName = parsed.Option("--field");
    const EntryField field = fieldName ? FieldArgument(*fieldName, "--field") : EntryField::Password;
    const int timeout = TimeoutOf(context, parsed);
    // Known before the password is typed: without a clipboard the command cannot do its work.
    const CClipboardTool clipboard = CClipboardTool::ForThisSession();

    CCliDatabase database(context, parsed.Path(0));
    database.Open(false);
    const SecureUtf8 value = PlainField(FieldOf(database.RequireEntry(key), field));
    const EndingSignalsHeld signals;
    ClearedOnFailure clearedOnFailure(clipboard, value);
    clipboard.Copy(value);
    const std::string what = "the " + Utf16ToUtf8(FieldArgumentNames[static_cast<int>(field)]) + " of " + KeyText(key);
    ConfirmDone(context, parsed,
                "Copied " + what + " to the clipboard; it is cleared in " + Seconds(timeout) +
                    " (Ctrl-C clears it at once).");
    signals.Wait(timeout);
    clearedOnFailure.Waited();
    if (!clipboard.Holds(value)) {
        ConfirmDone(context, parsed, "The clipboard holds something else now; it was left as it is.");
    } else if (!clipboard.Clear()) {
        throw CliFailure("The clipboard could not be cleared; it still holds " + what + ".");
    } else {
        ConfirmDone(context, parsed, "Clipboard cleared.");
    }
    return ExitCode::Done;
}
} // namespace

constinit const CliCommand ClipCommand{
    "clip",
    "DB GROUP TITLE [--field NAME] [--timeout S]",
    "Copies the password of GROUP/TITLE (or the field NAME: group, title, username, password, url, notes) to the "
    "desktop clipboard through wl-copy (Wayland) or xclip (X11), waits S seconds (default: the desktop program's "
    "clipboard clearing time, 10 unless set) or until Ctrl-C, then clears the clipboard if it still holds the copy.",
    Run,
};
