#include "KdbxTestFiles.h"

#include <gtest/gtest.h>

#include "core/common/Utf.h"
#include "core/passgen/RandomSource.h"
#include "support/EntryBuilder.h"
#include "support/TempDir.h"

std::string ContentXml()
{
    KeePassXml xml;
    const std::string recycleBinUuid = xml.NextUuid();
    const std::string attachment = "<Binary><Key>a.txt</Key><Value Ref=\"0\"/></Binary>\n";
    const std::string history = "<History><Entry><UUID>" + xml.NextUuid() +
                                "</UUID><String><Key>Title</Key><Value>Post</Value></String><String><Key>Password"
                                "</Key><Value>old</Value></String></Entry></History>\n";
    xml.OpenGroup("Root").AddEntry({{"Title", "Top"}, {"Password", "top-pw"}});
    xml.OpenGroup("Mail").OpenGroup("Priv\xC3\xA9 \xE2\x82\xAC");
    xml.AddEntry({{"Title", "Post"},
                  {"UserName", "anna"},
                  {"Password", "p\"w<&> \xC3\xBC"},
                  {"URL", "https://post.example"},
                  {"Notes", "line 1\nline 2"},
                  {"Recovery code", "123 456"},
                  {"Empty", ""},
                  {"otp", "otpauth://totp/Post:anna?secret=JBSWY3DPEHPK3PXP&period=30&digits=6&issuer=Post"}},
                 "<Tags>work</Tags>\n" + attachment + history);
    xml.AddEntry({{"Title", "Post"}, {"UserName", "J\xC3\xBCrgen"}});
    xml.CloseGroup().CloseGroup();
    xml.OpenGroup("Recycle Bin", recycleBinUuid).AddEntry({{"Title", "Gone"}, {"Password", "x"}}).CloseGroup();
    xml.CloseGroup();
    return xml.Document("<RecycleBinEnabled>True</RecycleBinEnabled><RecycleBinUUID>" + recycleBinUuid +
                        "</RecycleBinUUID><Binaries><Binary ID=\"0\">aGVsbG8=</Binary></Binaries>");
}

std::filesystem::path MakeKeePassXcFile(const std::filesystem::path& folder,
                                        const std::optional<std::filesystem::path>& keyFile)
{
    const std::filesystem::path xml = folder / "content.xml";
    const std::filesystem::path file = folder / (keyFile ? "keepassxc-keyfile.kdbx" : "keepassxc.kdbx");
    WriteFileBytes(xml, ContentXml());
    std::vector<std::string> arguments{"import", "-q", "-p", "-t", "100"};
    if (keyFile) {
        arguments.insert(arguments.end(), {"--set-key-file", keyFile->string()});
    }
    arguments.insert(arguments.end(), {xml.string(), file.string()});
    const ProgramResult made = KeePassXcCli(arguments, KeePassXcPassword + "\n" + KeePassXcPassword + "\n");
    EXPECT_EQ(made.exitCode, 0) << made.err;
    return file;
}

KdbxWriteOptions QuickOptions(KdbxKdf::Kind kdf, KdbxCipher cipher, bool gzip)
{
    KdbxWriteOptions options;
    options.kdf = kdf;
    options.cipher = cipher;
    options.gzip = gzip;
    const bool argon2 = kdf == KdbxKdf::Kind::Argon2d || kdf == KdbxKdf::Kind::Argon2id;
    options.rounds = argon2 ? 2 : 1000;
    options.argon2MemoryBytes = 1 << 20;
    options.argon2Parallelism = 2;
    return options;
}

KdbxCredentials Credentials(const std::string& password, const std::optional<std::filesystem::path>& keyFile)
{
    KdbxCredentials credentials;
    credentials.password = Utf8ToSecure(password);
    credentials.keyFile = keyFile;
    return credentials;
}

void WriteKdbxFile(const std::filesystem::path& path, const CDataBase& entries, const KdbxCredentials& credentials,
                   const KdbxWriteOptions& options)
{
    const SecureBytes bytes = WriteKdbx(entries, u"Exported", credentials, options, OsRandom(), 1700000000);
    WriteFileBytes(path, std::string(bytes.begin(), bytes.end()));
}

ImportedFile ImportKdbxFile(const std::filesystem::path& path, const KdbxCredentials& credentials,
                            const KdbxLimits& limits)
{
    MessageRecorder reporter;
    BuiltinTextSource texts;
    CDataBase database(reporter, texts);
    ImportedFile imported;
    std::optional<KdbxImport> read = ReadKdbxFile(database, path, credentials, &imported.result, limits);
    if (read) {
        imported.historyLeftOut = read->historyLeftOut;
        imported.recycleBinLeftOut = read->recycleBinLeftOut;
        imported.attachmentsLeftOut = read->attachmentsLeftOut;
        imported.renamed = AddOtherExport(database, std::move(read->read)).renamed;
    }
    imported.entries = EntriesOf(database);
    imported.messages = reporter.Texts();
    return imported;
}
