#pragma once

#include <cstddef>

// Memory of its own for a large secret, such as a whole decrypted database: left out of core dumps, wiped before it
// goes back to the system, and handed back from the start as soon as that part is used up, so that a reader that
// copies the text into entries does not hold it twice.
class SecretPages
{
public:
    // Zero-filled room for `bytes` bytes; throws std::bad_alloc when the system has none.
    explicit SecretPages(std::size_t bytes);
    ~SecretPages();
    SecretPages(const SecretPages&) = delete;
    SecretPages& operator=(const SecretPages&) = delete;

    unsigned char* Data() { return start; }

    // Wipes the whole pages before `offset` and hands them back; they read as zeros afterwards.
    void ReleaseBefore(std::size_t offset);

private:
    unsigned char* start = nullptr;
    std::size_t size = 0;
    std::size_t mapped = 0;
    std::size_t released = 0;
};
