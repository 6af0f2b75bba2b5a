#include <gtest/gtest.h>

#include <random>

#include "SessionFakes.h"
#include "core/database/DatabaseFile.h"
#include "core/database/WinCrypto.h"
#include "core/session/DatabaseSession.h"
#include "platform/HeldFileHandle.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {
SecureString RandomText(std::mt19937& random, std::size_t longest)
{
    // Units of one, two and four UTF-8 bytes, so that records end at every offset within a cipher block.
    static const std::u16string units = u"aZ1 \u00e9\u4e2d\xd83d\xde00";
    SecureString text;
    for (std::size_t length = random() % (longest + 1); text.size() < length;) {
        const std::size_t pick = random() % 7;
        text.append(units, pick, pick == 6 ? 2 : 1);
    }
    return text;
}

EntryKey RandomKey(std::mt19937& random)
{
    static const std::u16string groups[] = {u"", u"a", u"b", u"\u00e9"};
    return {ToSecure(groups[random() % 4]), RandomText(random, 3)};
}

EntryFields RandomFields(std::mt19937& random)
{
    return {RandomText(random, 12), RandomText(random, 12), RandomText(random, 20), RandomText(random, 40)};
}

// A file whose records are out of key order and hold a duplicate: a save cannot keep any of it.
void WriteUnorderedFile(const std::filesystem::path& path, const SecureString& password)
{
    SecureString text;
    for (const char16_t* field :
         {u"b", u"x", u"", u"", u"", u"", u"a", u"y", u"", u"", u"", u"", u"a", u"y", u"", u"", u"", u""}) {
        text.append(field);
        text.append(FieldTerminatorView.begin(), FieldTerminatorView.end());
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const SecureBytes inner = CWinCrypto(CWinCrypto::Algorithm::TripleDes112, password).Encrypt(bytes, text.size() * 2);
    const SecureBytes outer = CWinCrypto(CWinCrypto::Algorithm::Aes256, password).Encrypt(inner.data(), inner.size());
    WriteFileBytes(path, std::string(outer.begin(), outer.end()));
}

// Thousands of random adds, edits, renames, deletions, imports and password changes on small databases: after each,
// the file the session saved, re-encrypting only from the first changed record, is byte for byte what a full
// encryption of the collection writes.
TEST(IncrementalSaveTest, EverySaveWritesWhatAFullEncryptionWrites)
{
    // Memory-backed where there is such a folder: the syncs of thousands of saves would otherwise wait on the disk.
    std::error_code error;
    TempDir folder(std::filesystem::is_directory("/dev/shm", error) ? "/dev/shm"
                                                                    : std::filesystem::temp_directory_path());
    MessageRecorder messages;
    BuiltinTextSource texts;
    CDataBase database(messages, texts);
    std::u16string lastPath;
    PromptScript prompts;
    ViewRecorder view;
    HeldFileHandle handle;
    DatabaseSession session(database, lastPath, prompts, view, handle);
    const auto path = folder / "db.ldb";
    const auto reference = folder / "full.ldb";
    WriteUnorderedFile(path, ToSecure(u"first"));
    prompts.OpenFile(path);
    prompts.Password(u"first");
    session.OpenDatabase();
    ASSERT_TRUE(session.IsOpen());

    std::mt19937 random(19);
    for (int step = 0; step < 2000; ++step) {
        const auto entryAt = [&] { return database.EntryAt(1 + random() % database.Size(), 0)->Key(); };
        const unsigned action = random() % 100;
        if (action < 40 || database.Size() < 3) {
            session.AddEntry(RandomKey(random), RandomFields(random));
        } else if (action < 65) {
            const EntryKey key = entryAt();
            session.ReplaceEntry(key, random() % 2 == 0 ? key : RandomKey(random), RandomFields(random));
        } else if (action < 90) {
            session.RemoveEntry(entryAt());
        } else if (action < 99) {
            session.ImportEntries([&](CDataBase& into) {
                for (unsigned count = 1 + random() % 4; count > 0; --count) {
                    into.AddRenaming(RandomKey(random), RandomFields(random));
                }
                return true;
            });
        } else {
            prompts.Password(std::u16string(session.MasterPassword().begin(), session.MasterPassword().end()));
            prompts.NewPassword(u"pw" + std::u16string(1, static_cast<char16_t>(u'a' + step % 26)));
            session.ChangeMasterPassword();
        }
        ASSERT_TRUE(WriteDatabase(database, reference, session.MasterPassword()));
        ASSERT_EQ(ReadFileBytes(path), ReadFileBytes(reference)) << "step " << step;
        if (database.Size() > 40) {
            while (database.Size() > 10) {
                session.RemoveEntry(entryAt());
            }
        }
    }
}
} // namespace
