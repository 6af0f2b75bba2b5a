#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>

#include "core/common/SecureString.h"

// KeePass's typed dictionary, in which a KDBX 4 file keeps its key derivation parameters: a version, then items of
// type, name and value.
class CKdbxVariantMap
{
public:
    enum Type : std::uint8_t
    {
        UInt32 = 0x04,
        UInt64 = 0x05,
        Bool = 0x08,
        Int32 = 0x0C,
        Int64 = 0x0D,
        String = 0x18,
        Bytes = 0x42,
    };

    // Throws KdbxMalformed when the bytes are no such dictionary or one of a later major version.
    static CKdbxVariantMap Parse(std::span<const unsigned char> bytes);

    void SetUInt32(const std::string& name, std::uint32_t value);
    void SetUInt64(const std::string& name, std::uint64_t value);
    void SetBytes(const std::string& name, std::span<const unsigned char> value);

    // Nothing when the item is missing; throws KdbxMalformed when it is of another type.
    std::optional<std::uint32_t> UInt32Of(const std::string& name) const;
    std::optional<std::uint64_t> UInt64Of(const std::string& name) const;
    std::optional<SecureBytes> BytesOf(const std::string& name) const;

    SecureBytes Serialise() const;

private:
    struct Value
    {
        Type type;
        SecureBytes bytes;
    };
    const Value* Find(const std::string& name, Type type) const;

    std::map<std::string, Value> items;
};

// The file's structure is broken: a length runs past the end, a field has the wrong size, a value the wrong type.
struct KdbxMalformed
{
    std::string what;
};

// Little-endian numbers as the format stores them.
template <class Number> Number ReadLittleEndian(std::span<const unsigned char> bytes)
{
    Number value = 0;
    for (std::size_t i = 0; i < sizeof(Number); ++i) {
        value |= static_cast<Number>(static_cast<Number>(bytes[i]) << (8 * i));
    }
    return value;
}

template <class Number, class Out> void AppendLittleEndian(Out& out, Number value)
{
    for (std::size_t i = 0; i < sizeof(Number); ++i) {
        out.push_back(static_cast<unsigned char>(static_cast<std::uint64_t>(value) >> (8 * i)));
    }
}

// Reads the file's fields in order, refusing any read past the end.
class CByteReader
{
public:
    explicit CByteReader(std::span<const unsigned char> bytes)
        : bytes(bytes)
    {}

    std::span<const unsigned char> Take(std::size_t count, const char* what)
    {
        if (count > bytes.size() - position) {
            throw KdbxMalformed{what};
        }
        const auto taken = bytes.subspan(position, count);
        position += count;
        return taken;
    }
    template <class Number> Number Read(const char* what)
    {
        return ReadLittleEndian<Number>(Take(sizeof(Number), what));
    }
    std::size_t Position() const { return position; }
    bool AtEnd() const { return position == bytes.size(); }

private:
    std::span<const unsigned char> bytes;
    std::size_t position = 0;
};
