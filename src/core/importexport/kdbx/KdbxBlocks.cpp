#include "core/importexport/kdbx/KdbxBlocks.h"

#include <algorithm>
#include <array>
#include <string>

#include "core/importexport/kdbx/KdbxVariantMap.h"

namespace {
constexpr std::size_t WrittenBlockSize = 1 << 20;

std::string Block(std::uint64_t index, const char* what)
{
    return "block " + std::to_string(index) + " " + what;
}

const char* CutShort = "is cut short";

template <class Number> std::array<unsigned char, sizeof(Number)> LittleEndianBytes(Number value)
{
    std::array<unsigned char, sizeof(Number)> bytes{};
    for (std::size_t i = 0; i < sizeof(Number); ++i) {
        bytes[i] = static_cast<unsigned char>(static_cast<std::uint64_t>(value) >> (8 * i));
    }
    return bytes;
}

Sha256Digest BlockHmac(std::span<const unsigned char, 64> baseKey, std::uint64_t index,
                       std::span<const unsigned char> sizeBytes, std::span<const unsigned char> block)
{
    Sha512Digest key = BlockHmacKey(baseKey, index);
    const Sha256Digest mac = HmacSha256(key, {LittleEndianBytes(index), sizeBytes, block});
    OPENSSL_cleanse(key.data(), key.size());
    return mac;
}
} // namespace

Sha512Digest BlockHmacKey(std::span<const unsigned char, 64> baseKey, std::uint64_t index)
{
    return Sha512({LittleEndianBytes(index), baseKey});
}

SecureBytes ReadHmacBlocks(std::span<const unsigned char> bytes, std::span<const unsigned char, 64> baseKey)
{
    CByteReader reader(bytes);
    SecureBytes data;
    for (std::uint64_t index = 0;; ++index) {
        const std::string cut = Block(index, CutShort);
        const auto mac = reader.Take(32, cut.c_str());
        const auto sizeBytes = reader.Take(4, cut.c_str());
        const auto size = ReadLittleEndian<std::uint32_t>(sizeBytes);
        // A negative size, as the format stores it, is no block.
        if (size > 0x7FFFFFFF) {
            throw KdbxMalformed{Block(index, "has an impossible size")};
        }
        const auto block = reader.Take(size, cut.c_str());
        if (!SameDigest(BlockHmac(baseKey, index, sizeBytes, block), mac)) {
            throw KdbxMalformed{Block(index, "fails its HMAC check")};
        }
        if (size == 0) {
            return data;
        }
        data.insert(data.end(), block.begin(), block.end());
    }
}

void WriteHmacBlocks(std::span<const unsigned char> data, std::span<const unsigned char, 64> baseKey, SecureBytes& out)
{
    std::uint64_t index = 0;
    for (std::size_t offset = 0;; ++index) {
        const std::size_t size = std::min(WrittenBlockSize, data.size() - offset);
        const auto block = data.subspan(offset, size);
        const auto sizeBytes = LittleEndianBytes(static_cast<std::uint32_t>(size));
        const Sha256Digest mac = BlockHmac(baseKey, index, sizeBytes, block);
        out.insert(out.end(), mac.begin(), mac.end());
        out.insert(out.end(), sizeBytes.begin(), sizeBytes.end());
        out.insert(out.end(), block.begin(), block.end());
        offset += size;
        if (size == 0) {
            return;
        }
    }
}

SecureBytes ReadHashedBlocks(std::span<const unsigned char> bytes)
{
    CByteReader reader(bytes);
    SecureBytes data;
    data.reserve(bytes.size());
    for (std::uint64_t expectedIndex = 0;; ++expectedIndex) {
        const std::string cut = Block(expectedIndex, CutShort);
        const auto index = reader.Read<std::uint32_t>(cut.c_str());
        const auto hash = reader.Take(32, cut.c_str());
        const auto size = reader.Read<std::uint32_t>(cut.c_str());
        if (index != expectedIndex || size > 0x7FFFFFFF) {
            throw KdbxMalformed{Block(expectedIndex, "is out of order or has an impossible size")};
        }
        const auto block = reader.Take(size, cut.c_str());
        if (size == 0) {
            const bool zeros = std::all_of(hash.begin(), hash.end(), [](unsigned char byte) { return byte == 0; });
            if (!zeros) {
                throw KdbxMalformed{Block(expectedIndex, "fails its hash check")};
            }
            return data;
        }
        if (!SameDigest(Sha256({block}), hash)) {
            throw KdbxMalformed{Block(expectedIndex, "fails its hash check")};
        }
        data.insert(data.end(), block.begin(), block.end());
    }
}
