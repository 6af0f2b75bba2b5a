#pragma once

#include <cstdint>
#include <string_view>

#include "core/common/SecureString.h"
#include "core/database/DataBase.h"
#include "core/importexport/kdbx/KdbxCrypto.h"

class IRandomSource;

// The XML of a KDBX 4 file holding every entry: the group paths become nested groups below a root group named
// `rootName`, each entry gets a new UUID and the export's time (`now`, seconds since 1970). Passwords, and any value
// holding a character XML cannot carry, are written protected by `stream`. Throws UnencodableText for a value with
// an unpaired surrogate.
SecureBytes KdbxXml(const CDataBase& entries, std::u16string_view rootName, CInnerStream& stream, IRandomSource& random,
                    std::int64_t now);
