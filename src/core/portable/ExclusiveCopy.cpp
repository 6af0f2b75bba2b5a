#include "core/portable/ExclusiveCopy.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string>

namespace {
class Descriptor
{
public:
    explicit Descriptor(int value)
        : value(value)
    {}
    ~Descriptor()
    {
        if (value >= 0) {
            ::close(value);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return value; }
    bool Close()
    {
        const int closing = value;
        value = -1;
        return ::close(closing) == 0;
    }

private:
    int value;
};

bool WriteAll(int descriptor, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(descriptor, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool CopyContents(int source, int target)
{
    std::array<char, 1 << 16> buffer{};
    for (;;) {
        const ssize_t read = ::read(source, buffer.data(), buffer.size());
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read < 0) {
            return false;
        }
        if (read == 0) {
            return true;
        }
        if (!WriteAll(target, buffer.data(), static_cast<std::size_t>(read))) {
            return false;
        }
    }
}

// How file systems answer a call they do not offer.
bool IsUnsupported(int error)
{
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

void SyncFolderOf(const std::filesystem::path& path)
{
    const Descriptor folder(::open(path.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0) {
        ::fsync(folder.Get());
    }
}
} // namespace

bool MoveIntoPlaceExclusively(const std::filesystem::path& from, const std::filesystem::path& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        SyncFolderOf(to);
        return true;
    }
    // A file system without the no-replace rename still refuses to link over an existing name.
    if (!IsUnsupported(errno)) {
        return false;
    }
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        SyncFolderOf(to);
        return true;
    }
    // FAT, exFAT and NTFS through FUSE, as USB drives often come, offer neither. There the name is checked just
    // before the plain rename: only a file made in that instant, on a drive we are filling ourselves, could be lost.
    if (!IsUnsupported(errno) && errno != EPERM) {
        return false;
    }
    struct stat existing
    {};
    if (::lstat(to.c_str(), &existing) == 0 || errno != ENOENT || ::rename(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    SyncFolderOf(to);
    return true;
}

bool CopyFileExclusively(const std::filesystem::path& from, const std::filesystem::path& to)
{
    const Descriptor source(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status
    {};
    if (source.Get() < 0 || ::fstat(source.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    // Refused early so that copying a large file into an occupied name costs nothing; the move checks again.
    std::error_code error;
    if (std::filesystem::symlink_status(to, error).type() != std::filesystem::file_type::not_found) {
        return false;
    }
    std::string temporary = to.string() + ".XXXXXX";
    Descriptor target(::mkostemp(temporary.data(), O_CLOEXEC));
    if (target.Get() < 0) {
        return false;
    }
    // The source's permission bits where the file system keeps them. FAT refuses the change, as its mount options
    // decide every file's bits; the copy is as good without.
    ::fchmod(target.Get(), status.st_mode & 0777);
    const bool written = CopyContents(source.Get(), target.Get()) && ::fsync(target.Get()) == 0 && target.Close();
    if (!written || !MoveIntoPlaceExclusively(temporary, to)) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}
