#pragma once

#include <unistd.h>

#include <cerrno>
#include <utility>

// Owns one open file descriptor and closes it when it goes, so that no early return or exception leaks one.
class UniqueFd
{
public:
    UniqueFd() = default;
    explicit UniqueFd(int descriptor)
        : descriptor(descriptor)
    {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept
        : descriptor(other.Release())
    {}
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        Reset(other.Release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return descriptor; }
    bool Valid() const { return descriptor >= 0; }
    int Release() { return std::exchange(descriptor, -1); }
    void Reset(int replacement = -1)
    {
        if (descriptor >= 0) {
            ::close(descriptor);
        }
        descriptor = replacement;
    }
    // Closes now and tells whether the system reported an error: where a deferred write error shows.
    int Close()
    {
        const int closing = Release();
        return closing >= 0 && ::close(closing) != 0 ? errno : 0;
    }

private:
    int descriptor = -1;
};
