#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/KeyTyper.h"
#include "platform/X11KeySender.h"

#include <X11/Xlib.h>

namespace {
// A 100-character password of characters on a US key (the baseline), and one with four characters that borrow a
// spare key for the moment.
const std::u16string LayoutPassword = u"Tr0ub4dor&3-correct-HORSE-battery-staple!2024#Zebra(Quilt)_xylophone+Mango=42;"
                                      u"river.Stone/Delta99abc";
const std::u16string MixedPassword = u"Tr0ub4dor&3-correct-HORSE-battery-staple!2024#Zebra(Quilt)_xylophone+Mango=42;"
                                     u"river.Жé€\U0001F600Delta9abcdef";

constexpr int PasswordLength = 100;

// A busy virtual X server now and then turns a connection away.
Display* OpenDisplay()
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (Display* display = XOpenDisplay(nullptr)) {
            return display;
        }
    }
    return nullptr;
}

std::unique_ptr<X11KeySender> OpenSender()
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (auto sender = X11KeySender::Open()) {
            return sender;
        }
    }
    return nullptr;
}

// A window of the benchmark's own that holds the keyboard focus, so that the keys typed never reach another program.
class FocusedWindow
{
public:
    FocusedWindow()
        : display(OpenDisplay())
    {
        if (!display) {
            return;
        }
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 50, 0, 0, 0);
        XSelectInput(display, window, KeyPressMask | KeyReleaseMask);
        XMapRaised(display, window);
        XSync(display, False);
        for (int attempt = 0; attempt < 100 && !HasFocus(); ++attempt) {
            XSetInputFocus(display, window, RevertToParent, CurrentTime);
            XSync(display, False);
        }
    }
    ~FocusedWindow()
    {
        if (display) {
            XDestroyWindow(display, window);
            XCloseDisplay(display);
        }
    }

    bool HasFocus() const
    {
        Window focus = None;
        int revert = 0;
        XGetInputFocus(display, &focus, &revert);
        return focus == window;
    }

    // Takes the typed keys off the queue, so that the server's buffer does not grow over the run.
    void Drain()
    {
        XSync(display, False);
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
        }
    }

    Display* display;
    Window window = 0;
};

void TypePassword(benchmark::State& state, const std::u16string& password)
{
    std::unique_ptr<X11KeySender> sender = OpenSender();
    FocusedWindow target;
    if (!sender || !target.display || !target.HasFocus()) {
        state.SkipWithError("needs an X display whose focus this benchmark may take, for example under xvfb-run");
        return;
    }
    KeyTyper typer(*sender);
    for (auto _ : state) {
        if (!target.HasFocus()) {
            state.SkipWithError("the benchmark's window lost the keyboard focus");
            return;
        }
        typer.Type({password});
        target.Drain();
    }
    state.counters["characters/s"] =
        benchmark::Counter(static_cast<double>(state.iterations() * PasswordLength), benchmark::Counter::kIsRate);
}

void TypeLayoutPassword(benchmark::State& state)
{
    TypePassword(state, LayoutPassword);
}
BENCHMARK(TypeLayoutPassword)->Unit(benchmark::kMillisecond)->UseRealTime();

void TypeMixedPassword(benchmark::State& state)
{
    TypePassword(state, MixedPassword);
}
BENCHMARK(TypeMixedPassword)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace
