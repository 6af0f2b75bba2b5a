#include "core/database/InnerLayerStart.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "core/common/UniqueFd.h"
#include "core/common/WholeFileReader.h"

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
    try {
        ReadExactly(file, into, length);
    } catch (const FileUnreadable&) {
        // A file that ends early is no longer the one we wrote: the save encrypts everything instead.
        return false;
    }
    aes.DecryptBlocks(into, length, nullptr);
    return true;
}
