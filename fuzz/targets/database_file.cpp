// The database reader on arbitrary files under a fixed password. The first input byte chooses what the rest is:
// odd, the file's bytes as they are (damaged and foreign files, which mostly fail a padding check); even, a
// plaintext that is encrypted with both layers first, so that the reader gets past the ciphers into the text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "core/database/DatabaseFile.h"
#include "core/database/WinCrypto.h"
#include "core/settings/BuiltinTexts.h"
#include "support/MessageRecorder.h"

namespace {
std::string EncryptBothLayers(const std::uint8_t* data, std::size_t size)
{
    const SecureBytes inner = CWinCrypto(CWinCrypto::Algorithm::TripleDes112, FuzzPassword()).Encrypt(data, size);
    const SecureBytes outer =
        CWinCrypto(CWinCrypto::Algorithm::Aes256, FuzzPassword()).Encrypt(inner.data(), inner.size());
    return std::string(outer.begin(), outer.end());
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path file = ScratchFolder() / "fuzz.ldb";
    static BuiltinTextSource texts;
    if (size == 0) {
        return 0;
    }
    const bool raw = (data[0] & 1) != 0;
    const std::string bytes =
        raw ? std::string(reinterpret_cast<const char*>(data + 1), size - 1) : EncryptBothLayers(data + 1, size - 1);
    WriteScratchFile(file, bytes);

    MessageRecorder reporter;
    CDataBase database(reporter, texts);
    RecordsRead read;
    const int result = ReadDatabase(database, file, FuzzPassword(), &read);
    FuzzCheck(result == ReadResult::Done || result == ReadResult::Failed || result == ReadResult::InvalidPassword,
              "the result is one of the three");
    if (result == ReadResult::Done) {
        FuzzCheck(reporter.messages.empty(), "a file that was read shows no message");
        CheckCollectionRoundTrips(database);
        if (IsTextOfCollection(database, read)) {
            // A save then keeps the file's encryption of the records it leaves alone: it must be what a save writes.
            const SecureString plaintext = BuildPlaintext(database);
            FuzzCheck(EncryptBothLayers(reinterpret_cast<const std::uint8_t*>(plaintext.data()),
                                        plaintext.size() * 2) == bytes,
                      "a file taken for its collection is what a save of the collection writes");
        }
    } else {
        FuzzCheck(reporter.messages.size() == 1, "a refused file shows exactly one message");
        FuzzCheck(database.Empty(), "a refused file inserts nothing");
    }
    if (result == ReadResult::InvalidPassword) {
        FuzzCheck(reporter.messages.front().text == texts.Text(TextId::InvalidPassword),
                  "a damaged file is reported as a wrong password");
    }
    return 0;
}
