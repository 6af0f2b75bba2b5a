#pragma once

#include <cstddef>
#include <optional>

#include "core/common/SecureString.h"
#include "core/importexport/OtherExport.h"
#include "core/importexport/kdbx/KdbxCrypto.h"

// What a KeePass file gives the import: its entries mapped onto ours, and how much of it had no place in them.
struct KdbxImport
{
    OtherExport read;
    std::size_t historyLeftOut = 0;
    std::size_t recycleBinLeftOut = 0;
    std::size_t attachmentsLeftOut = 0;
};

// A value holds a character an entry cannot (NUL or the database's field terminator).
struct KdbxForbiddenCharacters
{};

// Maps the decrypted XML onto entries: the group path below the root group joined with "/", Title, UserName,
// Password, URL and Notes into their fields, every other non-empty string and the tags as "Name: value" lines of the
// notes. History entries, the recycle bin and attachments are counted, not imported. The XML is parsed in place, so
// that its text stays in the caller's wiped buffer; `stream` reveals the protected values in document order.
// `headerHash` is the SHA-256 of a KDBX 3.1 header, which the XML repeats. Throws KdbxMalformed or
// KdbxForbiddenCharacters.
KdbxImport MapKdbxXml(SecureBytes& xml, CInnerStream& stream, const std::optional<Sha256Digest>& headerHash);
