#include <gtest/gtest.h>

#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "support/KillLoop.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {
// A process killed at any moment of a save leaves the database file holding either the state before the save or the
// one after it, never a mix, a shortened file or no file.
class DatabaseKillTest : public testing::Test
{
protected:
    // State k: k entries, every field naming k, so that each state's file differs from all others in every record.
    static void FillState(CDataBase& database, int state)
    {
        const std::u16string k = ToU16(static_cast<unsigned>(state));
        for (int i = 0; i < state; ++i) {
            const std::u16string n = ToU16(static_cast<unsigned>(i));
            database.Add({ToSecure(u"Group " + ToU16(static_cast<unsigned>(i % 7))), ToSecure(u"Entry " + n)},
                         {ToSecure(u"user " + k), ToSecure(u"password " + k + u"/" + n), ToSecure(u"https://" + k),
                          ToSecure(u"saved in state " + k + u"\r\nline two")});
        }
    }

    bool Save(int state)
    {
        CDataBase database(recorder, texts);
        FillState(database, state);
        return WriteDatabase(database, file, password);
    }

    std::optional<int> StateOf(const std::filesystem::path& path)
    {
        recorder.Reset();
        CDataBase loaded(recorder, texts);
        if (ReadDatabase(loaded, path, password) != ReadResult::Done) {
            return std::nullopt;
        }
        const int state = static_cast<int>(loaded.Size());
        CDataBase expected(recorder, texts);
        FillState(expected, state);
        if (!std::equal(loaded.begin(), loaded.end(), expected.begin(), expected.end())) {
            return std::nullopt;
        }
        return state;
    }

    TempDir folder;
    std::filesystem::path file = folder / "killed.ldb";
    MessageRecorder recorder;
    BuiltinTextSource texts;
    SecureString password = ToSecure(u"kill test");
};

// The save that encrypts only from the first changed record on: state k adds entry k - 1 to state k - 1, whose file is
// on disk when it is saved, and the entries before stay as they were.
class IncrementalKillTest : public DatabaseKillTest
{
protected:
    static Entry EntryNumber(int i)
    {
        const std::u16string n = ToU16(static_cast<unsigned>(i));
        // Zero-padded titles keep the key order the order of the numbers.
        std::u16string title = ToU16(static_cast<unsigned>(100000 + i));
        return Entry{ToSecure(u"Group"),         ToSecure(u"Entry " + title), ToSecure(u"user " + n),
                     ToSecure(u"password " + n), ToSecure(u"https://" + n),   ToSecure(u"notes of " + n)};
    }
    static void FillAppended(CDataBase& database, int state)
    {
        for (int i = 0; i < state * 20; ++i) {
            const Entry entry = EntryNumber(i);
            database.Add(entry.Key(), entry.Fields());
        }
    }

    bool SaveIncrementally(int state)
    {
        CDataBase database(recorder, texts);
        FillAppended(database, state);
        const std::optional<FileVersion> held = FileVersion::At(file);
        if (!held || state == 0) {
            return WriteDatabase(database, file, password);
        }
        // The file on disk holds state - 1, whose text is that of its collection.
        CDataBase before(recorder, texts);
        FillAppended(before, state - 1);
        const UnchangedPrefix unchanged{{*held, BuildPlaintext(before).size() * 2},
                                        EntryNumber((state - 1) * 20).Key()};
        return WriteDatabase(database, file, password, {}, nullptr, &unchanged);
    }

    std::optional<int> AppendedStateOf(const std::filesystem::path& path)
    {
        recorder.Reset();
        CDataBase loaded(recorder, texts);
        if (ReadDatabase(loaded, path, password) != ReadResult::Done || loaded.Size() % 20 != 0) {
            return std::nullopt;
        }
        const int state = static_cast<int>(loaded.Size() / 20);
        CDataBase expected(recorder, texts);
        FillAppended(expected, state);
        if (!std::equal(loaded.begin(), loaded.end(), expected.begin(), expected.end())) {
            return std::nullopt;
        }
        return state;
    }
};

TEST_F(IncrementalKillTest, EveryKillOfASaveFromTheFirstChangedRecordLeavesExactlyOneSavedState)
{
    ExpectEveryKillLeavesOneSavedState(
        file, [this](int state) { return SaveIncrementally(state); },
        [this](const std::filesystem::path& path) { return AppendedStateOf(path); });
}

TEST_F(DatabaseKillTest, EveryKillLeavesExactlyOneSavedState)
{
    ExpectEveryKillLeavesOneSavedState(
        file, [this](int state) { return Save(state); },
        [this](const std::filesystem::path& path) { return StateOf(path); });
}
} // namespace
