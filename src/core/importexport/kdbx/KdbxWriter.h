#pragma once

#include <cstdint>
#include <string_view>

#include "core/common/AtomicFile.h"
#include "core/database/DataBase.h"
#include "core/importexport/kdbx/KdbxKdf.h"
#include "core/importexport/kdbx/KdbxKey.h"

class IRandomSource;

// How the export protects the file. The defaults are the export's: KDBX 4.0, Argon2id with KeePassXC's parameters
// for a new database (64 MiB, 10 iterations, 2 lanes), AES-256, gzip.
struct KdbxWriteOptions
{
    KdbxKdf::Kind kdf = KdbxKdf::Kind::Argon2id;
    std::uint64_t rounds = 10; // Argon2 iterations or AES-KDF rounds
    std::uint64_t argon2MemoryBytes = std::uint64_t{64} << 20;
    std::uint32_t argon2Parallelism = 2;
    KdbxCipher cipher = KdbxCipher::Aes256;
    bool gzip = true;
};

// The whole KDBX 4 file holding every entry (see KdbxXml), protected by the credentials. Throws UnencodableText for
// a value UTF-8 cannot hold, KdbxKeyFileProblem for a key file that cannot be read.
SecureBytes WriteKdbx(const CDataBase& entries, std::u16string_view rootName, const KdbxCredentials& credentials,
                      const KdbxWriteOptions& options, IRandomSource& random, std::int64_t now);
