#pragma once

#include <filesystem>

#include "cli/CliContext.h"
#include "core/database/DataBase.h"

// export DB --format kdbx -o FILE: asks for the new file's password twice and writes every entry of the open
// database into a KeePassXC database (KDBX 4.0, Argon2id, AES-256, gzip), atomically and readable by its owner only.
// Throws CliFailure.
void WriteKdbxExport(CliContext& context, const CDataBase& entries, const std::filesystem::path& database,
                     const std::filesystem::path& target);
