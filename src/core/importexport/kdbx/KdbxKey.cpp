#include "core/importexport/kdbx/KdbxKey.h"

#include <botan/base64.h>
#include <botan/exceptn.h>
#include <pugixml.hpp>

#include <cctype>
#include <string_view>

#include "core/common/Utf.h"
#include "core/common/WholeFileReader.h"

namespace {
constexpr std::size_t KeySize = 32;
// Key files are small; anything hashed whole still has a bound, so a wrongly chosen disk image is refused quickly.
constexpr std::uint64_t KeyFileSizeLimit = std::uint64_t{64} << 20;

std::optional<SecureBytes> DecodeHex(std::string_view text)
{
    if (text.size() % 2 != 0) {
        return std::nullopt;
    }
    SecureBytes bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        if (!std::isxdigit(static_cast<unsigned char>(text[i])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 1]))) {
            return std::nullopt;
        }
        const char pair[3] = {text[i], text[i + 1], 0};
        bytes.push_back(static_cast<unsigned char>(std::strtoul(pair, nullptr, 16)));
    }
    return bytes;
}

SecureBytes XmlKey(const pugi::xml_document& document)
{
    const pugi::xml_node keyFile = document.child("KeyFile");
    const std::string_view version = keyFile.child("Meta").child_value("Version");
    const pugi::xml_node data = keyFile.child("Key").child("Data");
    if (version.starts_with("1.")) {
        Botan::secure_vector<std::uint8_t> decoded;
        try {
            const std::string_view text = data.child_value();
            decoded = Botan::base64_decode(text.data(), text.size(), true);
        } catch (const Botan::Exception&) {
            throw KdbxKeyFileProblem{"its key is not Base64"};
        }
        return SecureBytes(decoded.begin(), decoded.end());
    }
    if (!version.starts_with("2.")) {
        throw KdbxKeyFileProblem{"it is a key file of a version that cannot be read"};
    }
    std::string hex;
    for (const char c : std::string_view(data.child_value())) {
        if (!std::isspace(static_cast<unsigned char>(c))) {
            hex.push_back(c);
        }
    }
    std::optional<SecureBytes> key = DecodeHex(hex);
    WipeString(hex);
    const std::optional<SecureBytes> checksum = DecodeHex(data.attribute("Hash").value());
    if (!key || key->size() != KeySize || !checksum || checksum->size() != 4) {
        throw KdbxKeyFileProblem{"its key is not 64 hexadecimal digits with a checksum"};
    }
    const Sha256Digest hash = Sha256({*key});
    if (!std::equal(checksum->begin(), checksum->end(), hash.begin())) {
        throw KdbxKeyFileProblem{"its key does not match its checksum"};
    }
    return *key;
}

// A KeePass XML key file, or nothing for any other file.
std::optional<SecureBytes> ParseXmlKeyFile(std::span<const unsigned char> content)
{
    SecureBytes copy(content.begin(), content.end());
    pugi::xml_document document;
    if (!document.load_buffer_inplace(copy.data(), copy.size()) || !document.child("KeyFile")) {
        return std::nullopt;
    }
    return XmlKey(document);
}
} // namespace

SecureBytes KeyFileKey(std::span<const unsigned char> content)
{
    if (std::optional<SecureBytes> key = ParseXmlKeyFile(content)) {
        return *key;
    }
    if (content.size() == KeySize) {
        return SecureBytes(content.begin(), content.end());
    }
    if (content.size() == 2 * KeySize) {
        if (std::optional<SecureBytes> key =
                DecodeHex(std::string_view(reinterpret_cast<const char*>(content.data()), content.size()))) {
            return *key;
        }
    }
    const Sha256Digest hash = Sha256({content});
    return SecureBytes(hash.begin(), hash.end());
}

SecureBytes CompositeKey(const KdbxCredentials& credentials)
{
    SecureBytes parts;
    if (!credentials.password.empty()) {
        SecureBytes utf8;
        ForEachCodePoint(credentials.password, [&](char32_t point) { AppendUtf8(utf8, point); });
        const Sha256Digest hash = Sha256({utf8});
        parts.insert(parts.end(), hash.begin(), hash.end());
    }
    if (credentials.keyFile) {
        SecureBytes content;
        try {
            content = ReadWholeFile(*credentials.keyFile, KeyFileSizeLimit);
        } catch (const FileTooLarge&) {
            throw KdbxKeyFileProblem{"it is larger than a key file can be (64 MiB)"};
        } catch (const FileUnreadable&) {
            throw KdbxKeyFileProblem{"it cannot be read"};
        }
        const SecureBytes key = KeyFileKey(content);
        parts.insert(parts.end(), key.begin(), key.end());
    }
    const Sha256Digest composite = Sha256({parts});
    return SecureBytes(composite.begin(), composite.end());
}
