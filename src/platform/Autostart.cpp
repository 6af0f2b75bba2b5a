#include "platform/Autostart.h"

#include <cstdlib>
#include <string>

#include "core/common/AtomicFile.h"

namespace {
// Desktop entry values escape backslashes, and the Exec key quotes an argument holding characters that the
// launcher would otherwise split or expand.
std::string QuotedExecArgument(const std::string& argument)
{
    const std::string reserved = " \t\n\"'\\><~|&;$*?#()`=%";
    if (argument.find_first_of(reserved) == std::string::npos) {
        return argument;
    }
    std::string quoted = "\"";
    for (const char character : argument) {
        if (character == '"' || character == '`' || character == '$' || character == '\\') {
            quoted += '\\';
        }
        if (character == '%') {
            quoted += '%';
        }
        quoted += character;
    }
    quoted += '"';
    // The value itself is a string, whose escapes are undone before the Exec rules apply.
    std::string escaped;
    for (const char character : quoted) {
        if (character == '\\') {
            escaped += '\\';
        }
        escaped += character;
    }
    return escaped;
}

std::string DesktopEntry(const std::filesystem::path& program, bool hidden)
{
    std::string exec = QuotedExecArgument(program.string());
    if (hidden) {
        exec += " -hide";
    }
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Lockmere\n"
           "Comment=Password manager\n"
           "Exec=" +
           exec +
           "\n"
           "Icon=lockmere\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}
} // namespace

Autostart::Autostart(std::filesystem::path folder)
    : folder(std::move(folder))
{}

std::filesystem::path Autostart::DefaultFolder()
{
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && std::filesystem::path(configHome).is_absolute()) {
        return std::filesystem::path(configHome) / "autostart";
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        return {};
    }
    return std::filesystem::path(home) / ".config" / "autostart";
}

bool Autostart::Enable(const std::filesystem::path& program, bool hidden) const
{
    if (folder.empty()) {
        return false;
    }
    try {
        std::error_code ignored;
        std::filesystem::create_directories(folder, ignored);
        const std::string entry = DesktopEntry(program, hidden);
        WriteFileAtomically(EntryPath(), {reinterpret_cast<const unsigned char*>(entry.data()), entry.size()}, 0644);
        return true;
    } catch (const FileWriteError&) {
        return false;
    }
}

bool Autostart::Disable() const
{
    if (folder.empty()) {
        return true;
    }
    std::error_code error;
    std::filesystem::remove(EntryPath(), error);
    return !error;
}
