#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {
std::atomic<std::size_t> current{0};
std::atomic<std::size_t> peak{0};

void* Allocate(std::size_t size)
{
    void* pointer = std::malloc(size == 0 ? 1 : size);
    if (pointer == nullptr) {
        throw std::bad_alloc();
    }
    const std::size_t now = current += malloc_usable_size(pointer);
    std::size_t seen = peak.load();
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
    return pointer;
}

void Release(void* pointer) noexcept
{
    if (pointer != nullptr) {
        current -= malloc_usable_size(pointer);
        std::free(pointer);
    }
}
} // namespace

void* operator new(std::size_t size)
{
    return Allocate(size);
}
void* operator new[](std::size_t size)
{
    return Allocate(size);
}
void operator delete(void* pointer) noexcept
{
    Release(pointer);
}
void operator delete[](void* pointer) noexcept
{
    Release(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept
{
    Release(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept
{
    Release(pointer);
}

namespace AllocationCounter {
std::size_t CurrentBytes()
{
    return current.load();
}
std::size_t PeakBytes()
{
    return peak.load();
}
void ResetPeak()
{
    peak.store(current.load());
}
} // namespace AllocationCounter
