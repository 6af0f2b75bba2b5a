#pragma once

#include <cstddef>

// Where random bytes come from; the generator asks through this so that tests can supply a known sequence.
class IRandomSource
{
public:
    virtual ~IRandomSource() = default;
    // Fills the buffer with uniformly distributed bytes; throws when no random bytes can be had.
    virtual void Fill(unsigned char* data, std::size_t size) = 0;
};

// The operating system's cryptographic generator (through OpenSSL).
class OsRandomSource : public IRandomSource
{
public:
    void Fill(unsigned char* data, std::size_t size) override;
};

// The one OS-backed source, for callers that have no source of their own.
IRandomSource& OsRandom();
