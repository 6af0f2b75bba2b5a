#include "core/passgen/PassGen.h"

#include <algorithm>

namespace {
// Random bytes fetched per request to the source; a few spare cover the bytes that rejection throws away.
constexpr std::size_t BatchSize = 256;

bool IsSet(unsigned char flag)
{
    return flag == 1;
}
} // namespace

SecureString CPassGen::Alphabet() const
{
    SecureString alphabet;
    for (const auto& [flag, set] : {std::pair{upper, UpperSet}, std::pair{lower, LowerSet},
                                    std::pair{numbers, NumberSet}, std::pair{special, SpecialSet}}) {
        if (IsSet(flag)) {
            alphabet.append(set.begin(), set.end());
        }
    }
    return alphabet;
}

void CPassGen::Generate(SecureString& text) const
{
    const SecureString alphabet = Alphabet();
    if (alphabet.empty() || length <= 0) {
        return;
    }
    // Bytes at or above the largest multiple of the alphabet size are rejected, so that every position is equally
    // likely (a plain modulo would favour the first positions).
    const unsigned size = static_cast<unsigned>(alphabet.size());
    const unsigned limit = 256 - 256 % size;

    SecureString password;
    password.reserve(static_cast<std::size_t>(length));
    SecureBytes batch(BatchSize);
    std::size_t used = batch.size();
    while (password.size() < static_cast<std::size_t>(length)) {
        if (used == batch.size()) {
            source.Fill(batch.data(), batch.size());
            used = 0;
        }
        const unsigned byte = batch[used++];
        if (byte < limit) {
            password.push_back(alphabet[byte % size]);
        }
    }
    text.append(password);
}
