#include "core/portable/ExclusiveCopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "core/common/AtomicFile.h"
#include "core/common/UniqueFd.h"

namespace {
void CopyContents(int source, const ContentSink& sink)
{
    std::array<unsigned char, 1 << 16> buffer{};
    for (;;) {
        const ssize_t read = ::read(source, buffer.data(), buffer.size());
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read < 0) {
            throw FileWriteError("cannot read the file to copy");
        }
        if (read == 0) {
            return;
        }
        sink(std::span<const unsigned char>(buffer.data(), static_cast<std::size_t>(read)));
    }
}
} // namespace

FileReplacement OnlyNewFile(mode_t mode)
{
    FileReplacement how({}, FileSystemCalls::System(), mode);
    how.replaceExisting = false;
    return how;
}

bool CopyFileExclusively(const std::filesystem::path& from, const std::filesystem::path& to)
{
    const UniqueFd source(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status
    {};
    if (!source.Valid() || ::fstat(source.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    try {
        WriteFileAtomicallyInPieces(
            to, [&](const ContentSink& sink) { CopyContents(source.Get(), sink); }, OnlyNewFile(status.st_mode & 0777));
        return true;
    } catch (const FileWriteError&) {
        return false;
    }
}
