#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <optional>

#include "ExpectedEntries.h"
#include "HandMadeTexts.h"
#include "RandomEntries.h"
#include "SessionFakes.h"
#include "support/EntryBuilder.h"
#include "support/HandMadeFile.h"
#include "support/TempDir.h"

namespace {
// The seed of the randomised test when none is given with --gtest_random_seed, which replays any other.
constexpr unsigned DefaultSeed = 31;

// Which byte two files first differ in, rather than both files in full.
testing::AssertionResult SameBytes(const std::string& written, const std::string& expected)
{
    if (written == expected) {
        return testing::AssertionSuccess();
    }
    const auto differ = std::mismatch(written.begin(), written.end(), expected.begin(), expected.end());
    return testing::AssertionFailure() << "the file differs from the one expected from byte "
                                       << differ.first - written.begin() << " on (" << written.size() << " bytes, "
                                       << expected.size() << " expected)";
}

// The desktop program's session on one file, and what its collection and file should hold after each change.
class SessionAgainstExpected : public testing::Test, protected ScriptedSession
{
protected:
    // Opens a hand-made file under `password` through the session; what it reads becomes what is expected.
    void OpenHandMade(const HandMadeText& made, const std::u16string& password)
    {
        session.CloseDatabase();
        const std::string file = EncryptedDatabaseBytes(made.bytes, ToSecure(password));
        WriteFileBytes(path, file);
        prompts.OpenFile(path);
        prompts.Password(password);
        messages.Reset();
        session.OpenDatabase();
        ASSERT_TRUE(session.IsOpen());
        expected = made.read;
        EXPECT_EQ(messages.messages.size(), made.damaged ? 1u : 0u) << "a damaged file is told, once";
        damagedOriginal = made.damaged ? std::optional<std::string>(file) : std::nullopt;
        handMade = file;
        saved = false;
        ASSERT_EQ(EntriesOf(database), expected.Entries());
    }

    // The file is the hand-made one until the first save, and after that exactly what a full encryption of the
    // expected entries writes; the first save over a damaged file kept its original beside it.
    void CheckFile()
    {
        ASSERT_EQ(EntriesOf(database), expected.Entries());
        const std::string onDisk = ReadFileBytes(path);
        if (!saved) {
            ASSERT_TRUE(SameBytes(onDisk, handMade)) << "nothing is written before the first save";
            return;
        }
        if (damagedOriginal) {
            ASSERT_EQ(ReadFileBytes(damagedKept), *damagedOriginal) << "the first save keeps the damaged original";
            std::filesystem::remove(damagedKept);
            damagedOriginal.reset();
        }
        ASSERT_TRUE(SameBytes(onDisk, expected.File(session.MasterPassword())));
    }

    std::u16string Password() const { return FromSecure(session.MasterPassword()); }

    // Memory-backed where there is such a folder: the syncs of thousands of saves would otherwise wait on the disk.
    TempDir folder{std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path()};
    std::filesystem::path path = folder / "db.ldb";
    std::filesystem::path damagedKept = folder / "db.ldb.damaged";
    ExpectedEntries expected;
    std::string handMade;
    std::optional<std::string> damagedOriginal;
    // A save has written the file since it was opened.
    bool saved = false;
};

EntryKey KeyOf(const ExpectedEntries::Key& key)
{
    return {ToSecure(key.first), ToSecure(key.second)};
}

EntryFields FieldsOf(const ExpectedEntries::Fields& fields)
{
    return {ToSecure(fields[0]), ToSecure(fields[1]), ToSecure(fields[2]), ToSecure(fields[3])};
}

// The result a change must have: refused by the collection, or saved unless the entry cannot be stored.
ChangeResult ExpectedResult(bool accepted, bool storable)
{
    return !accepted ? ChangeResult::Refused : storable ? ChangeResult::Saved : ChangeResult::NotSaved;
}

// A refusal and a failed save are told once each.
std::size_t MessagesAfter(ChangeResult result)
{
    return result == ChangeResult::Saved ? 0 : 1;
}

TEST_F(SessionAgainstExpected, AnEntryAddedAfterTheLastOfAHandMadeFileIsWrittenWhole)
{
    // The file that showed it: entries whose text fills whole cipher blocks, one byte short, and an entry that sorts
    // after them; a save that took the file's last block over would write its padding into the text.
    RandomEntries random(DefaultSeed);
    for (const TextShape shape : AllTextShapes) {
        SCOPED_TRACE(ShapeName(shape));
        HandMadeText made = MakeHandMadeText(random, shape, 2);
        while (shape == TextShape::OddLength && made.bytes.size() % 16 != 15) {
            made = MakeHandMadeText(random, shape, 2);
        }
        OpenHandMade(made, u"pw");
        // After every group the records can have.
        const ExpectedEntries::Key last{u"\u4e2d", u"last"};
        expected.Add(last, {});
        EXPECT_EQ(session.AddEntry(KeyOf(last), {}), ChangeResult::Saved);
        saved = true;
        CheckFile();

        session.CloseDatabase();
        prompts.OpenFile(path);
        prompts.Password(u"pw");
        messages.Reset();
        session.OpenDatabase();
        EXPECT_EQ(EntriesOf(database), expected.Entries()) << "opens whole";
        EXPECT_TRUE(messages.messages.empty()) << "and without a word";
    }
}

// Thousands of random adds, edits, renames, deletions, imports, password changes, failed saves, locks and opens of
// hand-made files, on databases of no entry to 1,500: after each, the collection holds the expected entries, and
// the file holds byte for byte what a full encryption of them writes.
class RandomSessionTest : public SessionAgainstExpected
{
protected:
    ExpectedEntries::Key AnyKey() { return expected.KeyAt(random.Below(expected.Size())); }

    std::size_t Add()
    {
        const ExpectedEntries::Key key = random.OneIn(5) && expected.Size() > 0 ? AnyKey() : random.Key();
        const bool spoilt = random.OneIn(40);
        const ExpectedEntries::Fields fields = spoilt ? random.UnstorableFields() : random.Fields();
        const ChangeResult result = ExpectedResult(!expected.Contains(key), !spoilt);
        if (result == ChangeResult::Saved) {
            expected.Add(key, fields);
            saved = true;
        }
        EXPECT_EQ(session.AddEntry(KeyOf(key), FieldsOf(fields)), result);
        return MessagesAfter(result);
    }

    std::size_t Replace()
    {
        const ExpectedEntries::Key oldKey = AnyKey();
        const ExpectedEntries::Key newKey = random.OneIn(2) ? oldKey : random.OneIn(4) ? AnyKey() : random.Key();
        const bool spoilt = random.OneIn(40);
        const ExpectedEntries::Fields fields = spoilt ? random.UnstorableFields() : random.Fields();
        const ChangeResult result = ExpectedResult(newKey == oldKey || !expected.Contains(newKey), !spoilt);
        if (result == ChangeResult::Saved) {
            expected.Replace(oldKey, newKey, fields);
            saved = true;
        }
        EXPECT_EQ(session.ReplaceEntry(KeyOf(oldKey), KeyOf(newKey), FieldsOf(fields)), result);
        return MessagesAfter(result);
    }

    std::size_t Remove()
    {
        const ExpectedEntries::Key key = AnyKey();
        expected.Remove(key);
        EXPECT_EQ(session.RemoveEntry(KeyOf(key)), ChangeResult::Saved);
        saved = true;
        return 0;
    }

    std::size_t Import()
    {
        EXPECT_EQ(session.ImportEntries([&](CDataBase& into) {
            for (std::size_t count = 1 + random.Below(4); count > 0; --count) {
                const ExpectedEntries::Key key = random.Key();
                const ExpectedEntries::Fields fields = random.Fields();
                into.AddRenaming(KeyOf(key), FieldsOf(fields));
                expected.AddRenaming(key, fields);
            }
            return true;
        }),
                  ChangeResult::Saved);
        saved = true;
        return 0;
    }

    std::size_t ChangePassword()
    {
        prompts.Password(Password());
        prompts.NewPassword(u"pw" + std::u16string(1, static_cast<char16_t>(u'A' + random.Below(26))));
        session.ChangeMasterPassword();
        saved = true;
        return 0;
    }

    std::size_t LockAndUnlock()
    {
        session.Lock();
        prompts.Password(Password());
        EXPECT_TRUE(session.Unlock());
        // A damaged file no save has replaced yet is read, and told, again.
        return !saved && damagedOriginal ? 1 : 0;
    }

    void OpenRandomHandMade()
    {
        const TextShape shape = AllTextShapes[random.Below(std::size(AllTextShapes))];
        SCOPED_TRACE(ShapeName(shape));
        const bool large = random.OneIn(8);
        largest = large ? 1500 : 40;
        const std::size_t records = large ? 500 + random.Below(1000) : random.Below(30);
        OpenHandMade(MakeHandMadeText(random, shape, records),
                     u"pw" + std::u16string(1, static_cast<char16_t>(u'a' + random.Below(26))));
    }

    // Small databases stay small, so that thousands of steps fit in seconds.
    void KeepSmall()
    {
        if (expected.Size() <= largest) {
            return;
        }
        while (expected.Size() > 10) {
            Remove();
        }
        CheckFile();
    }

    std::size_t RandomChange()
    {
        const std::size_t action = random.Below(100);
        if (action < 35 || expected.Size() < 3) {
            return Add();
        }
        if (action < 60) {
            return Replace();
        }
        if (action < 85) {
            return Remove();
        }
        if (action < 95) {
            return Import();
        }
        return action < 98 ? ChangePassword() : LockAndUnlock();
    }

    unsigned seed = static_cast<unsigned>(GTEST_FLAG_GET(random_seed)) != 0
                        ? static_cast<unsigned>(GTEST_FLAG_GET(random_seed))
                        : DefaultSeed;
    RandomEntries random{seed};
    std::size_t largest = 40;
};

TEST_F(RandomSessionTest, EveryFileWrittenIsAFullEncryptionOfTheExpectedEntries)
{
    std::cout << "seed " << seed << " (replay with --gtest_random_seed=" << seed << ")\n";
    RecordProperty("seed", std::to_string(seed));
    OpenHandMade(MakeHandMadeText(random, TextShape::OutOfKeyOrder, 3), u"first");
    for (int step = 0; step < 4000 && !HasFailure(); ++step) {
        SCOPED_TRACE(testing::Message() << "seed " << seed << ", step " << step);
        if (random.OneIn(30)) {
            OpenRandomHandMade();
            continue;
        }
        messages.Reset();
        const std::size_t messagesExpected = RandomChange();
        EXPECT_EQ(messages.messages.size(), messagesExpected);
        ASSERT_TRUE(session.IsOpen());
        CheckFile();
        KeepSmall();
    }
}
} // namespace
