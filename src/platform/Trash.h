#pragma once

#include <filesystem>
#include <optional>

#include "core/session/IFileTrash.h"

// The freedesktop.org trash: a file goes to the home trash ($XDG_DATA_HOME/Trash, or ~/.local/share/Trash) when it
// is on the same file system, otherwise to the trash at the top of its own file system ($topdir/.Trash/$uid when an
// administrator made $topdir/.Trash, else $topdir/.Trash-$uid). Beside it in info/ goes NAME.trashinfo with the
// original path and the time, so that every desktop's trash can put it back. Files are moved, never copied.
class Trash : public IFileTrash
{
public:
    // The home trash of the user who runs the program.
    Trash();
    // A home trash in `homeTrash`, for the tests.
    explicit Trash(std::filesystem::path homeTrash);

    bool MoveToTrash(const std::filesystem::path& file) override;

    // The home trash folder of the environment; empty when neither XDG_DATA_HOME nor HOME is set.
    static std::filesystem::path HomeTrashFolder();

private:
    // The trash folder for a file on the file system of `device`, and the folder its info paths are relative to
    // (empty: absolute paths).
    struct Target
    {
        std::filesystem::path folder;
        std::filesystem::path relativeTo;
    };
    std::optional<Target> TargetFor(const std::filesystem::path& file) const;

    std::filesystem::path homeTrash;
};

// The text of a NAME.trashinfo file: `path` percent-encoded as desktop trash folders expect, `deletionDate` as
// YYYY-MM-DDThh:mm:ss in local time.
std::string TrashInfoText(const std::string& path, const std::string& deletionDate);
