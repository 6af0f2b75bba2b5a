#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>

#include "SessionFakes.h"
#include "core/database/DatabaseFile.h"
#include "support/LockHolder.h"
#include "support/TempDir.h"

namespace {
// Saves killed midway leave their temporary files beside the database; opening it again removes those of ours that
// nothing holds and that have not changed for a while, without waiting for the next save into that folder.
class StaleTemporariesTest : public testing::Test, protected ScriptedSession
{
protected:
    StaleTemporariesTest()
    {
        std::filesystem::create_directory(folder / "data");
        EXPECT_TRUE(WriteDatabase(database, folder / "data" / "db.ldb", ToSecure(u"pw")));
    }

    // A file left an hour ago.
    static void LeaveOld(const std::filesystem::path& path)
    {
        WriteFileBytes(path, "part of a save");
        std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    }

    void Open(const std::filesystem::path& path, const std::u16string& password)
    {
        prompts.OpenFile(path);
        prompts.Password(password);
        session.OpenDatabase();
    }

    TempDir folder;
};

TEST_F(StaleTemporariesTest, OpeningRemovesOnlyOurOwnThatNothingHoldsAndThatAreOld)
{
    const std::filesystem::path data = folder / "data";
    const auto killed = data / "db.ldb.Ab3xY9.lockmere-tmp";
    const auto killedOther = data / "other.ldb.Qw12Er.lockmere-tmp";
    const auto recent = data / "db.ldb.Zz99aa.lockmere-tmp";
    const auto stillWritten = data / "db.ldb.Lk0000.lockmere-tmp";
    const auto usersOwn = data / "notes.Ab3xY9";
    const auto lookalike = data / "report.lockmere-tmp";
    for (const auto& path : {killed, killedOther, stillWritten, usersOwn, lookalike}) {
        LeaveOld(path);
    }
    WriteFileBytes(recent, "a save that may still be running");
    // A save still running holds its temporary file locked, however long it takes.
    LockHolder save([&] {
        const int file = ::open(stillWritten.c_str(), O_RDONLY | O_CLOEXEC);
        return file >= 0 && ::flock(file, LOCK_EX | LOCK_NB) == 0;
    });
    ASSERT_TRUE(save.Holds());

    prompts.OpenFile(data / "db.ldb");
    prompts.Password(u"wrong");
    prompts.Password(std::nullopt);
    session.OpenDatabase();
    EXPECT_TRUE(std::filesystem::exists(killed)) << "a database that did not open is left alone";

    Open(data / "db.ldb", u"pw");
    ASSERT_TRUE(session.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(killed));
    EXPECT_FALSE(std::filesystem::exists(killedOther)) << "as a save into the folder would";
    for (const auto& kept : {recent, stillWritten, usersOwn, lookalike}) {
        EXPECT_TRUE(std::filesystem::exists(kept)) << kept;
    }
}

TEST_F(StaleTemporariesTest, ADatabaseOpenedThroughALinkHasThemRemovedBesideTheFileLinkedTo)
{
    const auto killed = folder / "data" / "db.ldb.Ab3xY9.lockmere-tmp";
    const auto besideLink = folder / "link.ldb.Ab3xY9.lockmere-tmp";
    LeaveOld(killed);
    LeaveOld(besideLink);
    std::filesystem::create_symlink(folder / "data" / "db.ldb", folder / "link.ldb");

    Open(folder / "link.ldb", u"pw");
    ASSERT_TRUE(session.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(killed));
    EXPECT_TRUE(std::filesystem::exists(besideLink)) << "no save of this database writes there";
}
} // namespace
