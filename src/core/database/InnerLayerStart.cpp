#include "core/database/InnerLayerStart.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "core/common/UniqueFd.h"

namespace {
bool ReadFully(int descriptor, unsigned char* into, std::size_t length)
{
    while (length > 0) {
        const ssize_t got = ::read(descriptor, into, length);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        into += got;
        length -= static_cast<std::size_t>(got);
    }
    return true;
}
} // namespace

bool ReadInnerLayerStart(const std::filesystem::path& path, const FileVersion& version, const CWinCrypto& aes,
                         unsigned char* into, std::size_t length)
{
    const UniqueFd file(::open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK));
    struct stat status
    {};
    if (!file.Valid() || ::fstat(file.Get(), &status) != 0 || FileVersion::Of(status) != version ||
        static_cast<std::uint64_t>(status.st_size) <= length) {
        return false;
    }
    if (!ReadFully(file.Get(), into, length)) {
        return false;
    }
    aes.DecryptBlocks(into, length, nullptr);
    return true;
}
