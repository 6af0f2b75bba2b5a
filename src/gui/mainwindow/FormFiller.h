#pragma once

#include <memory>
#include <optional>

#include "core/database/Entry.h"
#include "gui/mainwindow/TrayEntryCommand.h"
#include "platform/WindowSwitcher.h"

class CDataBase;
class IKeySender;
class IMessageReporter;
class ITextSource;
class QObject;

// What a form-filling command types: the user name, the password, or both with TAB between and ENTER after them.
enum class FillKind
{
    PasteUsername,
    PastePassword,
    AutoLogin,
};

// A per-entry command of the tray menu: what to type, and whose values.
struct TrayFill
{
    FillKind kind;
    Entry entry;
};

// What a per-entry command of the tray menu types; none when the index is past the last entry (the collection
// changed while the menu was open).
std::optional<TrayFill> FindTrayFill(const CDataBase& database, TrayEntryCommand kind, std::size_t entryIndex);

// Types an entry's values into the window the user worked in before turning to the program. Without a key sender
// (a session that is not X11) each command says why it types nothing; under Wayland it types only into X11 programs
// (XWayland) and says so when the window is a Wayland one.
class FormFiller
{
public:
    FormFiller(std::unique_ptr<IKeySender> sender, std::unique_ptr<IWindowSwitcher> switcher,
               IMessageReporter& reporter, const ITextSource& texts);
    ~FormFiller();

    // The X11 services on an X11 display, XWayland's under Wayland, none otherwise.
    static std::unique_ptr<FormFiller> ForThisSession(IMessageReporter& reporter, const ITextSource& texts);

    // Returns to the previous window (the window manager's way, or by the keys of `way` where it has none), then
    // types.
    void Fill(FillKind kind, const Entry& entry, ReturnWay way);

private:
    std::unique_ptr<IKeySender> sender;
    std::unique_ptr<IWindowSwitcher> switcher;
    IMessageReporter& reporter;
    const ITextSource& texts;
    // Keeps the switcher up to date with the active window.
    std::unique_ptr<QObject> activationWatch;
};
