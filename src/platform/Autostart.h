#pragma once

#include <filesystem>

// Starts the program when the user logs in to the desktop session, through an XDG autostart entry
// ("lockmere.desktop" in the autostart folder).
class Autostart
{
public:
    // `folder` is the autostart folder; DefaultFolder() unless a caller needs another.
    explicit Autostart(std::filesystem::path folder = DefaultFolder());

    // Writes the entry that starts `program` (an absolute path), with "-hide" when `hidden`. Gives false when the
    // entry could not be written; the previous entry is then unchanged.
    bool Enable(const std::filesystem::path& program, bool hidden) const;
    // Removes the entry; a missing entry is no error. Gives false when it could not be removed.
    bool Disable() const;

    std::filesystem::path EntryPath() const { return folder / "lockmere.desktop"; }

    // $XDG_CONFIG_HOME/autostart, or ~/.config/autostart when that is unset or not absolute; empty without either.
    static std::filesystem::path DefaultFolder();

private:
    std::filesystem::path folder;
};
