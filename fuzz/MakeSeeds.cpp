// Writes the seed corpora from files the program itself writes: databases and their plaintexts, CSV exports,
// settings files.
// Usage: fuzz_make_seeds CORPUS_FOLDER (one sub-folder per target is filled).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "FuzzSupport.h"
#include "core/database/DatabaseFile.h"
#include "core/importexport/CsvFormat.h"
#include "core/importexport/kdbx/KdbxWriter.h"
#include "core/importexport/kdbx/KdbxXmlExport.h"
#include "core/passgen/RandomSource.h"
#include "core/settings/Options.h"
#include "support/MessageRecorder.h"

namespace {
std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

void WriteSeed(const std::filesystem::path& folder, const std::string& name, const std::string& bytes)
{
    std::filesystem::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary) << bytes;
}

// Small collections: empty, one entry, and a few with line breaks, single terminator units and text beyond ASCII.
std::vector<std::pair<std::string, std::vector<Entry>>> Collections()
{
    return {
        {"empty", {}},
        {"one", {Entry(ToSecure(u"Web"), ToSecure(u"Shop"), ToSecure(u"ann"), {}, {}, ToSecure(u"n"))}},
        {"several",
         {Entry(ToSecure(u"Mail"), ToSecure(u"Home"), ToSecure(u"me"), ToSecure(u"x"), ToSecure(u"imap://h"), {}),
          Entry(ToSecure(u"Web"), ToSecure(u"Bank \U0001F600"), ToSecure(u"\u0416"), ToSecure(u"\"q\",;"), {},
                ToSecure(u"line 1\r\nline 2\u0007\u0001")),
          Entry({}, ToSecure(u"No group"), {}, {}, {}, {})}},
    };
}
// KeePass files of our writer under the fuzz password, with key derivation within the target's small limits, and
// the decrypted content of one (inner header, then the XML).
void WriteKdbxSeeds(const std::filesystem::path& folder, const std::string& name, const CDataBase& database)
{
    KdbxCredentials credentials;
    credentials.password = FuzzPassword();
    const std::tuple<const char*, KdbxKdf::Kind, KdbxCipher, bool> kinds[] = {
        {".argon2id-aes-gzip", KdbxKdf::Kind::Argon2id, KdbxCipher::Aes256, true},
        {".argon2d-chacha20", KdbxKdf::Kind::Argon2d, KdbxCipher::ChaCha20, false},
        {".aeskdf-twofish-gzip", KdbxKdf::Kind::AesKdbx4, KdbxCipher::Twofish, true},
    };
    for (const auto& [suffix, kdf, cipher, gzip] : kinds) {
        KdbxWriteOptions options;
        options.kdf = kdf;
        options.cipher = cipher;
        options.gzip = gzip;
        options.rounds = kdf == KdbxKdf::Kind::AesKdbx4 ? 64 : 2;
        options.argon2MemoryBytes = 64 * 1024;
        options.argon2Parallelism = 1;
        const SecureBytes file = WriteKdbx(database, u"Fuzz", credentials, options, OsRandom(), 1700000000);
        WriteSeed(folder, name + suffix + ".kdbx", std::string(1, '\0') + std::string(file.begin(), file.end()));
    }
    CInnerStream none(CInnerStream::Kind::None, {});
    const SecureBytes xml = KdbxXml(database, u"Fuzz", none, OsRandom(), 1700000000);
    const std::string innerHeader("\x01\x04\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00", 14);
    WriteSeed(folder, name + ".content", "\x01" + innerHeader + std::string(xml.begin(), xml.end()));
}
} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path corpus = argv[1];
    MessageRecorder reporter;
    BuiltinTextSource texts;

    for (const auto& [name, entries] : Collections()) {
        CDataBase database(reporter, texts);
        for (const Entry& entry : entries) {
            database.Insert(Entry(entry));
        }
        const std::filesystem::path file = ScratchFolder() / (name + ".ldb");
        if (!WriteDatabase(database, file, FuzzPassword())) {
            return 1;
        }
        const SecureString plaintext = BuildPlaintext(database);
        const std::string plainBytes(reinterpret_cast<const char*>(plaintext.data()), plaintext.size() * 2);
        WriteSeed(corpus / "database_file", name + ".file", "\x01" + ReadBytes(file));
        WriteSeed(corpus / "database_file", name + ".plain", std::string(1, '\0') + plainBytes);
        WriteSeed(corpus / "parse_entries", name, plainBytes);
        WriteKdbxSeeds(corpus / "kdbx", name, database);

        // The CSV target's option bytes: header and where the bytes come from, then the field numbers plus one.
        CsvExportOptions withHeader;
        CsvExportOptions withoutHeader;
        withoutHeader.header = false;
        withoutHeader.delimiter = u";";
        for (const auto& [suffix, exportOptions, optionBytes] :
             {std::tuple{".header.csv", withHeader, std::string("\x01\x02\x03\x04\x05\x06\x07", 7)},
              std::tuple{".plain.csv", withoutHeader, std::string("\x02\x07\x06\x05\x04\x03\x00", 7)}}) {
            const SecureBytes csv = CsvFileBytes(database, exportOptions);
            WriteSeed(corpus / "csv", name + suffix, optionBytes + std::string(csv.begin(), csv.end()));
        }
    }

    COptions defaults;
    COptions changed;
    changed.fTop = true;
    changed.uClearClipboardTime = -5;
    changed.LastPath = u"/home/ann/\u0416 <&> \"q\".ldb";
    changed.Language = u"German";
    for (const auto& [name, options] : {std::pair{"defaults", defaults}, std::pair{"changed", changed}}) {
        const std::filesystem::path file = ScratchFolder() / (std::string(name) + ".xml");
        if (!options.Save(reporter, file)) {
            return 1;
        }
        WriteSeed(corpus / "settings", std::string(name) + ".xml", ReadBytes(file));
    }
    return reporter.messages.empty() ? 0 : 1;
}
