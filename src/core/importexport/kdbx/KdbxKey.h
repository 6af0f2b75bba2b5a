#pragma once

#include <filesystem>
#include <optional>
#include <span>

#include "core/common/SecureString.h"
#include "core/importexport/kdbx/KdbxCrypto.h"

// What the user gives to open or protect a KDBX file: a password, a key file, or both.
struct KdbxCredentials
{
    SecureString password; // empty: the file has no password part
    std::optional<std::filesystem::path> keyFile;
};

// The 32 bytes a key file contributes: the key of KeePass's XML key file (version 1.0 in Base64, 2.0 in hex with
// its checksum), a file of exactly 32 bytes as they are, 64 hexadecimal characters decoded, and any other file's
// SHA-256. Throws KdbxKeyFileProblem for an XML key file whose key is broken, or a file that cannot be read.
struct KdbxKeyFileProblem
{
    std::string reason;
};
SecureBytes KeyFileKey(std::span<const unsigned char> content);

// SHA-256 over the parts the credentials have (the password's SHA-256, then the key file's key), as KeePass
// combines them. Reads the key file; throws KdbxKeyFileProblem.
SecureBytes CompositeKey(const KdbxCredentials& credentials);
