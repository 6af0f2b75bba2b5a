#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "core/database/DataBase.h"
#include "core/importexport/kdbx/KdbxKdf.h"
#include "core/importexport/kdbx/KdbxKey.h"
#include "core/importexport/kdbx/KdbxXmlImport.h"

// Reads KeePass 2 files (KDBX 3.1, 4.0 and 4.1) for the import.

// The largest file and the largest decompressed content we read: far beyond any real password database, and
// within what the machine can parse.
inline constexpr std::uint64_t KdbxFileSizeLimit = std::uint64_t{1} << 30;
inline constexpr std::size_t KdbxContentSizeLimit = std::size_t{2} << 30;

// How a read ended, so that a window can ask for the password again after a wrong one.
enum class KdbxReadResult
{
    Read,
    WrongKey,
    Failed,
};

// The file is refused; `message` says why, naming the file when the caller gave one.
struct KdbxRefusal
{
    std::u16string message;
    bool wrongKey = false;
};

// True when the file starts with the KeePass 2 signature; false too when it cannot be read.
bool IsKdbxFile(const std::filesystem::path& path);

// Checks the file's header (signature, version, cipher, key derivation within the limits) without any key work,
// so that a file we cannot read is refused before a password is asked for. Reports the refusal through the
// collection's reporter and gives false.
bool CheckKdbxFile(const CDataBase& database, const std::filesystem::path& path, const KdbxLimits& limits = {});

// Reads and maps the whole file. Every failure is reported through the collection's reporter with the file's name
// and reason ("Invalid password or key file." for a wrong key); nothing is given then. The collection itself is not
// changed.
std::optional<KdbxImport> ReadKdbxFile(const CDataBase& database, const std::filesystem::path& path,
                                       const KdbxCredentials& credentials, KdbxReadResult* result = nullptr,
                                       const KdbxLimits& limits = {});

// The same on bytes already read, with the composite key; throws KdbxRefusal. For tests and the fuzz target.
KdbxImport ReadKdbx(std::span<const unsigned char> file, std::span<const unsigned char> compositeKey,
                    const ITextSource& texts, const KdbxLimits& limits = {});

// The decrypted, unpacked content of a KDBX 4 file (inner header, then the XML) mapped as a read maps it; throws
// KdbxRefusal. For the fuzz target, which cannot get past the authentication of arbitrary bytes.
KdbxImport ReadKdbx4Content(SecureBytes& content, const ITextSource& texts);
