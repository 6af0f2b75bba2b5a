#include "core/common/SecretPages.h"

#include <openssl/crypto.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <new>

namespace {
// Memory goes back in pieces of whole large pages, so that handing some back does not split the rest.
constexpr std::size_t ReleasedPiece = std::size_t{2} << 20;

std::size_t PageSize()
{
    static const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return page;
}
} // namespace

SecretPages::SecretPages(std::size_t bytes)
    : size(bytes)
{
    const std::size_t page = PageSize();
    mapped = (bytes / page + 1) * page;
    void* pages = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED) {
        throw std::bad_alloc();
    }
    start = static_cast<unsigned char*>(pages);
    // Best effort, as a kernel without them still gives working memory. Large pages: a whole database is read into
    // this memory at once, and touching it a small page at a time costs as much as reading it.
    ::madvise(pages, mapped, MADV_DONTDUMP);
    ::madvise(pages, mapped, MADV_HUGEPAGE);
}

SecretPages::~SecretPages()
{
    OPENSSL_cleanse(start + released, mapped - released);
    ::munmap(start, mapped);
}

void SecretPages::ReleaseBefore(std::size_t offset)
{
    const std::size_t end = std::min(offset, size) / ReleasedPiece * ReleasedPiece;
    if (end <= released) {
        return;
    }
    OPENSSL_cleanse(start + released, end - released);
    ::madvise(start + released, end - released, MADV_DONTNEED);
    released = end;
}
