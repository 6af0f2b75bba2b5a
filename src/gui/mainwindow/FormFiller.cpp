#include "gui/mainwindow/FormFiller.h"

#include <QGuiApplication>
#include <QSocketNotifier>

#include "core/common/Reporter.h"
#include "core/common/TextSource.h"
#include "core/database/DataBase.h"
#include "core/settings/BuiltinTexts.h"
#include "platform/KeyTyper.h"
#include "platform/X11KeySender.h"
#include "platform/X11WindowSwitcher.h"

namespace {
std::u16string_view View(const SecureString& text)
{
    return {text.data(), text.size()};
}

// A Wayland session without XWayland: every window is the compositor's.
class WaylandOnly : public IWindowSwitcher
{
public:
    WindowReturn ReturnToPreviousWindow() override { return WindowReturn::WaylandWindow; }
};
} // namespace

std::optional<TrayFill> FindTrayFill(const CDataBase& database, TrayEntryCommand kind, std::size_t entryIndex)
{
    if (entryIndex >= database.Size()) {
        return std::nullopt;
    }
    std::optional<Entry> entry = database.EntryAt(static_cast<std::uint32_t>(entryIndex + 1), 0);
    if (!entry) {
        return std::nullopt;
    }
    const FillKind fill = kind == TrayEntryCommand::PasteUsername   ? FillKind::PasteUsername
                          : kind == TrayEntryCommand::PastePassword ? FillKind::PastePassword
                                                                    : FillKind::AutoLogin;
    return TrayFill{fill, std::move(*entry)};
}

FormFiller::FormFiller(std::unique_ptr<IKeySender> sender, std::unique_ptr<IWindowSwitcher> switcher,
                       IMessageReporter& reporter, const ITextSource& texts)
    : sender(std::move(sender))
    , switcher(std::move(switcher))
    , reporter(reporter)
    , texts(texts)
{}

FormFiller::~FormFiller() = default;

std::unique_ptr<FormFiller> FormFiller::ForThisSession(IMessageReporter& reporter, const ITextSource& texts)
{
    const QString platform = QGuiApplication::platformName();
    const bool wayland = platform.startsWith(QLatin1String("wayland"));
    // Under Wayland only the programs that run through XWayland take keys sent by another program, and only from an
    // X11 connection to XWayland.
    std::unique_ptr<X11WindowSwitcher> switcher =
        platform == QLatin1String("xcb") || wayland ? X11WindowSwitcher::Open(wayland) : nullptr;
    if (!switcher) {
        return std::make_unique<FormFiller>(nullptr, wayland ? std::make_unique<WaylandOnly>() : nullptr, reporter,
                                            texts);
    }
    X11WindowSwitcher* watched = switcher.get();
    auto filler = std::make_unique<FormFiller>(X11KeySender::Open(), std::move(switcher), reporter, texts);
    auto* watch = new QSocketNotifier(watched->EventDescriptor(), QSocketNotifier::Read);
    QObject::connect(watch, &QSocketNotifier::activated, watch, [watched] { watched->ProcessEvents(); });
    if (wayland) {
        QObject::connect(qApp, &QGuiApplication::applicationStateChanged, watch, [watched](Qt::ApplicationState state) {
            if (state == Qt::ApplicationActive) {
                watched->NoteOwnActivation();
            }
        });
    }
    filler->activationWatch.reset(watch);
    return filler;
}

void FormFiller::Fill(FillKind kind, const Entry& entry, ReturnWay way)
{
    const WindowReturn returned = switcher ? switcher->ReturnToPreviousWindow() : WindowReturn::NotSupported;
    if (returned == WindowReturn::WaylandWindow) {
        reporter.ShowMessage(texts.Text(TextId::FormFillingTargetIsWayland), MessageIcon::Information);
        return;
    }
    if (!sender) {
        reporter.ShowMessage(texts.Text(TextId::FormFillingNeedsX11), MessageIcon::Information);
        return;
    }
    KeyTyper typer(*sender);
    switch (returned) {
    case WindowReturn::Returned:
        break;
    case WindowReturn::NotSupported:
        typer.SwitchWindowByKeys(way);
        break;
    case WindowReturn::Failed:
    case WindowReturn::WaylandWindow:
        // Typing now would hand the password to whichever window happens to have the focus.
        reporter.ShowMessage(texts.Text(TextId::PreviousWindowNotActivated), MessageIcon::Warning);
        return;
    }
    switch (kind) {
    case FillKind::PasteUsername:
        typer.Type({View(entry.username)});
        break;
    case FillKind::PastePassword:
        typer.Type({View(entry.password)});
        break;
    case FillKind::AutoLogin:
        typer.Type({View(entry.username), u"\t", View(entry.password), u"\r"});
        break;
    }
}
