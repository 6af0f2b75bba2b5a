#include "core/passgen/RandomSource.h"

#include <climits>
#include <stdexcept>

#include <openssl/rand.h>

void OsRandomSource::Fill(unsigned char* data, std::size_t size)
{
    while (size > 0) {
        const int chunk = size > INT_MAX ? INT_MAX : static_cast<int>(size);
        if (RAND_bytes(data, chunk) != 1) {
            throw std::runtime_error("the system's random generator failed");
        }
        data += chunk;
        size -= static_cast<std::size_t>(chunk);
    }
}

IRandomSource& OsRandom()
{
    static OsRandomSource source;
    return source;
}
