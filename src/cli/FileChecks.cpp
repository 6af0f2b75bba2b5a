#include "cli/FileChecks.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/CliCommand.h"
#include "core/common/UniqueFd.h"
#include "core/common/Utf.h"
#include "core/common/WholeFileReader.h"

namespace {
[[noreturn]] void Fail(const std::filesystem::path& path, int error)
{
    throw CliFailure(FileProblem(path, error));
}

// The folder the file is (or would be) in, as the system resolves a relative path.
std::filesystem::path FolderOf(const std::filesystem::path& path)
{
    const std::filesystem::path folder = path.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

struct stat StatusOrFail(const std::filesystem::path& path)
{
    struct stat status
    {};
    if (::stat(path.c_str(), &status) != 0) {
        Fail(path, errno);
    }
    if (S_ISDIR(status.st_mode)) {
        Fail(path, EISDIR);
    }
    // A pipe or device would block the read or the password prompt before it; only files are databases and inputs.
    if (!S_ISREG(status.st_mode)) {
        throw CliFailure(path.string() + ": not a regular file");
    }
    return status;
}

void RequireAccess(const std::filesystem::path& path, int mode)
{
    if (::access(path.c_str(), mode) != 0) {
        Fail(path, errno);
    }
}

// The real path of a link's target, so that the folder checked is the one the new version is written into.
std::filesystem::path Resolved(const std::filesystem::path& path)
{
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::canonical(path, error);
    return error ? path : resolved;
}
// Another Lockmere holds its open database with a shared lock; a writer needs it exclusively. A file that another
// command is saving at this moment is locked exclusively, for a moment only: that is no hold.
bool HeldByAnotherLockmere(const std::filesystem::path& path)
{
    // Non-blocking, so that a pipe put in the file's place after the check is refused later instead of hanging here.
    const UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    return file.Valid() && ::flock(file.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK &&
           ::flock(file.Get(), LOCK_SH | LOCK_NB) == 0;
}

std::string HeldMessage(const std::filesystem::path& path)
{
    return path.string() + ": the file is held open by another Lockmere; close it there first";
}
} // namespace

void RequireUtf8Name(const std::filesystem::path& path)
{
    if (!DecodeUtf8Strict(path.string())) {
        throw CliFailure(path.string() + ": the file name is not valid UTF-8; rename the file to change it");
    }
}

void RequireNotHeld(const std::filesystem::path& path)
{
    if (HeldByAnotherLockmere(path)) {
        throw CliFailure(HeldMessage(path));
    }
}

void RequireChangeableDatabase(const std::filesystem::path& path)
{
    RequireChangeableFile(path);
    RequireUtf8Name(path);
    RequireNotHeld(path);
}

std::string FileProblem(const std::filesystem::path& path, int error)
{
    return path.string() + ": " + std::strerror(error);
}

void RequireReadableFile(const std::filesystem::path& path)
{
    StatusOrFail(path);
    RequireAccess(path, R_OK);
}

void RequireChangeableFile(const std::filesystem::path& path)
{
    const struct stat status = StatusOrFail(path);
    RequireAccess(path, R_OK | W_OK);
    if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        Fail(path, EACCES);
    }
    const std::filesystem::path folder = FolderOf(Resolved(path));
    RequireAccess(folder, W_OK | X_OK);
}

void RequireWritableTarget(const std::filesystem::path& path)
{
    struct stat status
    {};
    if (::stat(path.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode)) {
            Fail(path, EISDIR);
        }
        if (!S_ISREG(status.st_mode)) {
            // A device or a pipe is written into where it is; no folder entry changes.
            RequireAccess(path, W_OK);
            return;
        }
    }
    const std::filesystem::path folder = FolderOf(Resolved(path));
    if (::stat(folder.c_str(), &status) != 0) {
        Fail(folder, errno);
    }
    RequireAccess(folder, W_OK | X_OK);
}

std::optional<std::string> ReplaceProblem(const std::filesystem::path& path)
{
    if (HeldByAnotherLockmere(path)) {
        return HeldMessage(path);
    }
    try {
        RequireChangeableFile(path);
    } catch (const CliFailure& failure) {
        return failure.what();
    }
    return std::nullopt;
}

SecureBytes ReadInputFile(const std::filesystem::path& path, std::uintmax_t limit)
{
    try {
        return ReadWholeFile(path, limit);
    } catch (const FileTooLarge&) {
        Fail(path, EFBIG);
    } catch (const FileUnreadable& unreadable) {
        // The checks name the reason a user can act on: no such file, a folder, no regular file, no permission.
        RequireReadableFile(path);
        Fail(path, unreadable.error != 0 ? unreadable.error : EIO);
    }
}
