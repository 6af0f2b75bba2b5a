#include "core/importexport/kdbx/KdbxVariantMap.h"

namespace {
constexpr std::uint16_t Version = 0x0100;
constexpr std::uint16_t MajorVersionMask = 0xFF00;
constexpr char Broken[] = "the key derivation parameters are malformed";

std::size_t SizeOf(CKdbxVariantMap::Type type)
{
    switch (type) {
    case CKdbxVariantMap::UInt32:
    case CKdbxVariantMap::Int32:
        return 4;
    case CKdbxVariantMap::UInt64:
    case CKdbxVariantMap::Int64:
        return 8;
    case CKdbxVariantMap::Bool:
        return 1;
    default:
        return 0;
    }
}
} // namespace

CKdbxVariantMap CKdbxVariantMap::Parse(std::span<const unsigned char> bytes)
{
    CByteReader reader(bytes);
    if ((reader.Read<std::uint16_t>(Broken) & MajorVersionMask) > (Version & MajorVersionMask)) {
        throw KdbxMalformed{"the key derivation parameters are of a later version"};
    }
    CKdbxVariantMap map;
    for (;;) {
        const auto type = static_cast<Type>(reader.Read<std::uint8_t>(Broken));
        if (type == 0) {
            return map;
        }
        const auto nameSize = reader.Read<std::uint32_t>(Broken);
        const auto name = reader.Take(nameSize, Broken);
        const auto valueSize = reader.Read<std::uint32_t>(Broken);
        const auto value = reader.Take(valueSize, Broken);
        const std::size_t fixedSize = SizeOf(type);
        if (fixedSize != 0 && fixedSize != valueSize) {
            throw KdbxMalformed{Broken};
        }
        map.items[std::string(name.begin(), name.end())] = Value{type, SecureBytes(value.begin(), value.end())};
    }
}

void CKdbxVariantMap::SetUInt32(const std::string& name, std::uint32_t value)
{
    SecureBytes bytes;
    AppendLittleEndian(bytes, value);
    items[name] = Value{UInt32, std::move(bytes)};
}

void CKdbxVariantMap::SetUInt64(const std::string& name, std::uint64_t value)
{
    SecureBytes bytes;
    AppendLittleEndian(bytes, value);
    items[name] = Value{UInt64, std::move(bytes)};
}

void CKdbxVariantMap::SetBytes(const std::string& name, std::span<const unsigned char> value)
{
    items[name] = Value{Bytes, SecureBytes(value.begin(), value.end())};
}

const CKdbxVariantMap::Value* CKdbxVariantMap::Find(const std::string& name, Type type) const
{
    const auto found = items.find(name);
    if (found == items.end()) {
        return nullptr;
    }
    if (found->second.type != type) {
        throw KdbxMalformed{Broken};
    }
    return &found->second;
}

std::optional<std::uint32_t> CKdbxVariantMap::UInt32Of(const std::string& name) const
{
    const Value* value = Find(name, UInt32);
    return value ? std::optional(ReadLittleEndian<std::uint32_t>(value->bytes)) : std::nullopt;
}

std::optional<std::uint64_t> CKdbxVariantMap::UInt64Of(const std::string& name) const
{
    const Value* value = Find(name, UInt64);
    return value ? std::optional(ReadLittleEndian<std::uint64_t>(value->bytes)) : std::nullopt;
}

std::optional<SecureBytes> CKdbxVariantMap::BytesOf(const std::string& name) const
{
    const Value* value = Find(name, Bytes);
    return value ? std::optional(value->bytes) : std::nullopt;
}

SecureBytes CKdbxVariantMap::Serialise() const
{
    SecureBytes out;
    AppendLittleEndian(out, Version);
    for (const auto& [name, value] : items) {
        out.push_back(value.type);
        AppendLittleEndian(out, static_cast<std::uint32_t>(name.size()));
        out.insert(out.end(), name.begin(), name.end());
        AppendLittleEndian(out, static_cast<std::uint32_t>(value.bytes.size()));
        out.insert(out.end(), value.bytes.begin(), value.bytes.end());
    }
    out.push_back(0);
    return out;
}
