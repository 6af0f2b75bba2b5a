// The KeePass import on arbitrary files: with the first byte even, the rest is a whole file, read under the fuzz
// password with key derivation limits small enough for many runs a second; odd, the rest is the decrypted content of
// a KDBX 4 file (inner header and XML), which arbitrary bytes never reach past the authentication.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "core/importexport/kdbx/KdbxReader.h"
#include "support/MessageRecorder.h"

namespace {
KdbxLimits SmallLimits()
{
    KdbxLimits limits;
    limits.aesRounds = 64;
    limits.argon2MemoryBytes = 64 * 1024;
    limits.argon2Work = 64 * 1024 * 2;
    limits.argon2Parallelism = 2;
    return limits;
}

void CheckImport(KdbxImport&& read, const ITextSource& texts)
{
    MessageRecorder reporter;
    CDataBase database(reporter, texts);
    const std::size_t entries = read.read.entries.size();
    const ImportCounts counts = AddOtherExport(database, std::move(read.read));
    FuzzCheck(counts.added + counts.renamed == entries, "every entry read is added or renamed");
    FuzzCheck(database.Size() == entries, "every entry read lands in the collection");
    CheckCollectionRoundTrips(database);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static BuiltinTextSource texts;
    static const KdbxLimits limits = SmallLimits();
    static const SecureBytes compositeKey = [] {
        KdbxCredentials credentials;
        credentials.password = FuzzPassword();
        return CompositeKey(credentials);
    }();
    if (size < 1) {
        return 0;
    }
    try {
        if (data[0] % 2 == 0) {
            CheckImport(ReadKdbx({data + 1, size - 1}, compositeKey, texts, limits), texts);
        } else {
            SecureBytes content(data + 1, data + size);
            CheckImport(ReadKdbx4Content(content, texts), texts);
        }
    } catch (const KdbxRefusal& refusal) {
        FuzzCheck(!refusal.message.empty(), "a refusal says why");
    }
    return 0;
}
