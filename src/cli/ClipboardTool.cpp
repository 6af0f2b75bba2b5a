#include "cli/ClipboardTool.h"

#include <array>
#include <cstdlib>

#include <openssl/evp.h>

#include "cli/CliCommand.h"
#include "cli/ToolProcess.h"

namespace {
bool IsSet(const char* variable)
{
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

using Digest = std::array<unsigned char, EVP_MAX_MD_SIZE>;

Digest DigestOf(const SecureUtf8& text)
{
    Digest digest{};
    unsigned int size = 0;
    if (EVP_Digest(text.data(), text.size(), digest.data(), &size, EVP_sha256(), nullptr) != 1) {
        throw CliFailure("The clipboard's content could not be compared.");
    }
    return digest;
}
} // namespace

CClipboardTool CClipboardTool::ForThisSession()
{
    CClipboardTool tool;
    if (IsSet("WAYLAND_DISPLAY") && ToolOnPath("wl-copy") && ToolOnPath("wl-paste")) {
        tool.copyCommand = {"wl-copy"};
        tool.pasteCommand = {"wl-paste", "--no-newline"};
        tool.clearCommand = {"wl-copy", "--clear"};
        return tool;
    }
    if (IsSet("DISPLAY") && ToolOnPath("xclip")) {
        tool.copyCommand = {"xclip", "-selection", "clipboard", "-in"};
        tool.pasteCommand = {"xclip", "-selection", "clipboard", "-out"};
        tool.clearCommand = tool.copyCommand;
        return tool;
    }
    if (!IsSet("WAYLAND_DISPLAY") && !IsSet("DISPLAY")) {
        throw CliFailure("No clipboard is available: neither WAYLAND_DISPLAY nor DISPLAY is set (no graphical "
                         "session). Use show --field instead.");
    }
    throw CliFailure("No clipboard tool was found: install wl-clipboard (for Wayland) or xclip (for X11).");
}

void CClipboardTool::Copy(const SecureUtf8& text) const
{
    if (!RunTool(copyCommand, text, ToolOutput::Discard)) {
        throw CliFailure(copyCommand.front() + " could not put the text on the clipboard.");
    }
}

bool CClipboardTool::Holds(const SecureUtf8& text) const
{
    const std::optional<SecureUtf8> current = RunTool(pasteCommand, {}, ToolOutput::Read);
    return current && DigestOf(*current) == DigestOf(text);
}

bool CClipboardTool::Clear() const
{
    return RunTool(clearCommand, {}, ToolOutput::Discard).has_value();
}
