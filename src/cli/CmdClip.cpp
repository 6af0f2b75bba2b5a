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

// Waits the seconds, or less when the user interrupts (Ctrl-C) or the session ends: the clipboard is cleared
// then too.
void WaitOrInterrupt(int seconds)
{
    sigset_t ending;
    sigemptyset(&ending);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&ending, signal);
    }
    ::sigprocmask(SIG_BLOCK, &ending, nullptr);
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
            break;
        }
    }
    ::sigprocmask(SIG_UNBLOCK, &ending, nullptr);
}

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
    clipboard.Copy(value);
    const std::string what = "the " + Utf16ToUtf8(FieldArgumentNames[static_cast<int>(field)]) + " of " + KeyText(key);
    ConfirmDone(context, parsed,
                "Copied " + what + " to the clipboard; it is cleared in " + Seconds(timeout) +
                    " (Ctrl-C clears it at once).");
    WaitOrInterrupt(timeout);
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
