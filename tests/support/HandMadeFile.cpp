#include "support/HandMadeFile.h"

#include "core/database/WinCrypto.h"
#include "support/TempDir.h"

std::string EncryptedDatabaseBytes(std::string_view plaintext, const SecureString& password)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(plaintext.data());
    const SecureBytes inner =
        CWinCrypto(CWinCrypto::Algorithm::TripleDes112, password).Encrypt(bytes, plaintext.size());
    const SecureBytes outer = CWinCrypto(CWinCrypto::Algorithm::Aes256, password).Encrypt(inner.data(), inner.size());
    return std::string(outer.begin(), outer.end());
}

std::string TextBytes(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

void WriteHandMadeFile(const std::filesystem::path& path, std::u16string_view text, const SecureString& password)
{
    WriteFileBytes(path, EncryptedDatabaseBytes(TextBytes(text), password));
}
