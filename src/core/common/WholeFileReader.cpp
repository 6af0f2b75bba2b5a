#include "core/common/WholeFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>

UniqueFd OpenRegularFile(const std::filesystem::path& path, std::uint64_t sizeLimit, std::uint64_t& size)
{
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!file.Valid()) {
        throw FileUnreadable{errno};
    }
    struct stat status
    {};
    if (::fstat(file.Get(), &status) != 0) {
        throw FileUnreadable{errno};
    }
    if (!S_ISREG(status.st_mode)) {
        throw FileUnreadable{};
    }
    size = static_cast<std::uint64_t>(status.st_size);
    if (size >= sizeLimit) {
        throw FileTooLarge{};
    }
    return file;
}

void ReadExactly(const UniqueFd& file, unsigned char* buffer, std::uint64_t length)
{
    std::uint64_t done = 0;
    while (done < length) {
        const ssize_t got = ::read(file.Get(), buffer + done, static_cast<std::size_t>(length - done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            throw FileUnreadable{got < 0 ? errno : 0};
        }
        done += static_cast<std::uint64_t>(got);
    }
}

SecureBytes ReadWholeFile(const std::filesystem::path& path, std::uint64_t sizeLimit)
{
    std::uint64_t size = 0;
    const UniqueFd file = OpenRegularFile(path, sizeLimit, size);
    SecureBytes bytes(static_cast<std::size_t>(size));
    ReadExactly(file, bytes.data(), size);
    return bytes;
}
