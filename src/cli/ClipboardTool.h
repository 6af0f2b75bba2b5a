#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/Output.h"

// The desktop clipboard, reached through wl-copy/wl-paste under Wayland or xclip under X11.
class CClipboardTool
{
public:
    // The tool for the session the program runs in; throws CliFailure saying what is missing (a display, or a tool).
    static CClipboardTool ForThisSession();

    // Puts the text on the clipboard; throws CliFailure when the tool fails.
    void Copy(const SecureUtf8& text) const;
    // Whether the clipboard still holds exactly this text (compared by digest, so the copy read back is wiped at
    // once).
    bool Holds(const SecureUtf8& text) const;
    // Empties the clipboard; false when the tool failed.
    bool Clear() const;

private:
    std::vector<std::string> copyCommand;
    std::vector<std::string> pasteCommand;
    std::vector<std::string> clearCommand;
};
