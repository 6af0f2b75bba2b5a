#include "platform/Trash.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "core/common/AtomicFile.h"

namespace {
namespace fs = std::filesystem;

bool IsUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c == '.' || c == '~' || c == '/';
}

std::string PercentEncoded(const std::string& path)
{
    static const char Hex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const unsigned char c : path) {
        if (IsUnreserved(c)) {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += Hex[c >> 4];
            encoded += Hex[c & 0x0F];
        }
    }
    return encoded;
}

std::string LocalTimeNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

std::optional<dev_t> DeviceOf(const fs::path& path)
{
    struct stat status
    {};
    if (::lstat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return status.st_dev;
}

// The top folder of the file system that holds `path`: the last folder upwards on the same device.
fs::path TopFolderOf(const fs::path& path)
{
    fs::path top = path.parent_path();
    const std::optional<dev_t> device = DeviceOf(top);
    while (top.has_relative_path() && DeviceOf(top.parent_path()) == device) {
        top = top.parent_path();
    }
    return top;
}

bool MakePrivateFolder(const fs::path& folder)
{
    std::error_code error;
    fs::create_directories(folder, error);
    struct stat status
    {};
    return ::lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == ::getuid();
}

// An administrator's $topdir/.Trash: a real folder with the sticky bit, so that users cannot remove each other's.
bool IsSharedTrash(const fs::path& folder)
{
    struct stat status
    {};
    return ::lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && (status.st_mode & S_ISVTX) != 0;
}

// Writes NAME.trashinfo for the first free NAME, NAME.2, NAME.3 ...; the info file claims the name before the file
// is moved, as every program using the desktop trash does, so two programs never put files under one name.
std::optional<std::string> ClaimName(const fs::path& trash, const std::string& name, const std::string& info)
{
    const std::string stem = fs::path(name).stem().string();
    const std::string extension = fs::path(name).extension().string();
    for (int number = 1; number < 10000; ++number) {
        const std::string candidate = number == 1 ? name : stem + "." + std::to_string(number) + extension;
        std::error_code error;
        if (fs::exists(trash / "files" / candidate, error)) {
            continue;
        }
        const fs::path infoFile = trash / "info" / (candidate + ".trashinfo");
        FileReplacement createOnly;
        createOnly.replaceExisting = false;
        try {
            const auto* bytes = reinterpret_cast<const unsigned char*>(info.data());
            WriteFileAtomically(infoFile, {bytes, info.size()}, createOnly);
            return candidate;
        } catch (const FileWriteError&) {
            // The write makes the info file only where no file has the name, up to its last step; a name another
            // program holds is passed over, any other failure ends the move.
            struct stat taken
            {};
            if (::lstat(infoFile.c_str(), &taken) != 0) {
                return std::nullopt;
            }
        }
    }
    return std::nullopt;
}
} // namespace

std::string TrashInfoText(const std::string& path, const std::string& deletionDate)
{
    return "[Trash Info]\nPath=" + PercentEncoded(path) + "\nDeletionDate=" + deletionDate + "\n";
}

fs::path Trash::HomeTrashFolder()
{
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && data[0] == '/') {
        return fs::path(data) / "Trash";
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        return fs::path(home) / ".local" / "share" / "Trash";
    }
    return {};
}

Trash::Trash()
    : Trash(HomeTrashFolder())
{}

Trash::Trash(fs::path homeTrash)
    : homeTrash(std::move(homeTrash))
{}

std::optional<Trash::Target> Trash::TargetFor(const fs::path& file) const
{
    const std::optional<dev_t> device = DeviceOf(file);
    if (!device) {
        return std::nullopt;
    }
    if (!homeTrash.empty() && MakePrivateFolder(homeTrash) && DeviceOf(homeTrash) == device) {
        return Target{homeTrash, {}};
    }
    const fs::path top = TopFolderOf(file);
    const std::string user = std::to_string(::getuid());
    if (IsSharedTrash(top / ".Trash") && MakePrivateFolder(top / ".Trash" / user)) {
        return Target{top / ".Trash" / user, top};
    }
    if (MakePrivateFolder(top / (".Trash-" + user)) && DeviceOf(top / (".Trash-" + user)) == device) {
        return Target{top / (".Trash-" + user), top};
    }
    return std::nullopt;
}

bool Trash::MoveToTrash(const fs::path& file)
{
    std::error_code error;
    const fs::path absolute = fs::absolute(file, error).lexically_normal();
    if (error) {
        return false;
    }
    const std::optional<Target> target = TargetFor(absolute);
    if (!target || !MakePrivateFolder(target->folder / "files") || !MakePrivateFolder(target->folder / "info")) {
        return false;
    }
    const fs::path recorded = target->relativeTo.empty() ? absolute : absolute.lexically_relative(target->relativeTo);
    const std::optional<std::string> name =
        ClaimName(target->folder, absolute.filename().string(), TrashInfoText(recorded.string(), LocalTimeNow()));
    if (!name) {
        return false;
    }
    if (::rename(absolute.c_str(), (target->folder / "files" / *name).c_str()) != 0) {
        fs::remove(target->folder / "info" / (*name + ".trashinfo"), error);
        return false;
    }
    return true;
}
