#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/importexport/kdbx/KdbxReader.h"
#include "core/importexport/kdbx/KdbxWriter.h"
#include "support/KeePassXcCli.h"
#include "support/MessageRecorder.h"

// The files the KDBX tests share: a database made by KeePassXC itself, and quick key derivation for our own files.

inline const std::string KeePassXcPassword = "p\xC3\xA4ss w\xC3\xB6rd";

// Nested groups, text beyond ASCII, multi-line notes, custom attributes, TOTP, tags, an attachment, a history
// entry, a title that comes twice, an entry in the root group and one in the recycle bin.
std::string ContentXml();

// ContentXml made into a KDBX file by `keepassxc-cli import` (KDBX 3.1, AES-KDF, AES-256, gzip, Salsa20), under
// KeePassXcPassword and, when given, a key file that keepassxc-cli creates.
std::filesystem::path MakeKeePassXcFile(const std::filesystem::path& folder,
                                        const std::optional<std::filesystem::path>& keyFile = std::nullopt);

// Our writer's options with key derivation cheap enough for many files in a test.
KdbxWriteOptions QuickOptions(KdbxKdf::Kind kdf = KdbxKdf::Kind::Argon2id, KdbxCipher cipher = KdbxCipher::Aes256,
                              bool gzip = true);

KdbxCredentials Credentials(const std::string& password, const std::optional<std::filesystem::path>& keyFile = {});

// A file of our own writer holding the entries.
void WriteKdbxFile(const std::filesystem::path& path, const CDataBase& entries, const KdbxCredentials& credentials,
                   const KdbxWriteOptions& options);

// The entries a file gives when imported into an empty collection, with the counts of what was left out.
struct ImportedFile
{
    std::vector<Entry> entries;
    std::size_t historyLeftOut = 0;
    std::size_t recycleBinLeftOut = 0;
    std::size_t attachmentsLeftOut = 0;
    std::size_t renamed = 0;
    std::vector<std::u16string> messages;
    KdbxReadResult result = KdbxReadResult::Failed;
};
ImportedFile ImportKdbxFile(const std::filesystem::path& path, const KdbxCredentials& credentials,
                            const KdbxLimits& limits = {});
