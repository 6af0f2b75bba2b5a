#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>

#include <gtest/gtest.h>

#include "core/common/AtomicFile.h"
#include "support/FailingFileCalls.h"
#include "support/TempDir.h"

namespace {
std::span<const unsigned char> Bytes(const std::string& text)
{
    return {reinterpret_cast<const unsigned char*>(text.data()), text.size()};
}

mode_t ModeOf(const std::filesystem::path& path)
{
    struct stat status
    {};
    ::stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

class AtomicFileTest : public testing::Test
{
protected:
    TempDir folder;
    std::filesystem::path file = folder / "file.txt";
};

TEST_F(AtomicFileTest, CreatesAndReplacesTheWholeFile)
{
    WriteFileAtomically(file, Bytes("first version, longer"));
    WriteFileAtomically(file, Bytes("second"));
    EXPECT_EQ(ReadFileBytes(file), "second");
}

TEST_F(AtomicFileTest, NewFileTakesTheGivenModeAndAReplacedFileKeepsItsOwn)
{
    WriteFileAtomically(file, Bytes("a"), {{}, FileSystemCalls::System(), 0644});
    EXPECT_EQ(ModeOf(file), 0644u);
    ::chmod(file.c_str(), 0600);
    WriteFileAtomically(file, Bytes("b"), {{}, FileSystemCalls::System(), 0644});
    EXPECT_EQ(ModeOf(file), 0600u);
}

TEST_F(AtomicFileTest, WritingThroughALinkReplacesTheLinkedFileAndKeepsTheLink)
{
    const auto real = folder / "real.txt";
    WriteFileBytes(real, "old");
    std::filesystem::create_symlink(real, file);

    WriteFileAtomically(file, Bytes("new"));
    EXPECT_TRUE(std::filesystem::is_symlink(file));
    EXPECT_EQ(ReadFileBytes(real), "new");
}

TEST_F(AtomicFileTest, EmptyDataGivesAnEmptyFile)
{
    WriteFileAtomically(file, {});
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
}

TEST_F(AtomicFileTest, InjectedFaultsThrowAndLeaveNoTemporaryFile)
{
    WriteFileBytes(file, "old");
    for (WriteStep step : {WriteStep::Create, WriteStep::Write, WriteStep::Sync, WriteStep::Close, WriteStep::Rename}) {
        const FailingFileCalls failing(step);
        EXPECT_THROW(WriteFileAtomically(file, Bytes("new"), {{}, failing}), FileWriteError);
        EXPECT_EQ(ReadFileBytes(file), "old");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
    }
}

TEST_F(AtomicFileTest, AFolderInPlaceOfTheFileIsAnError)
{
    std::filesystem::create_directory(file);
    EXPECT_THROW(WriteFileAtomically(file, Bytes("x")), FileWriteError);
    EXPECT_TRUE(std::filesystem::is_directory(file));
}
} // namespace

namespace {
TEST_F(AtomicFileTest, TargetsThatMayNotBeReplacedAreRefusedWithoutWaitingAndKeptAsTheyAre)
{
    struct Case
    {
        const char* name;
        std::function<void(const std::filesystem::path&)> make;
    } cases[] = {
        {"a pipe", [](const std::filesystem::path& path) { ::mkfifo(path.c_str(), 0600); }},
        {"a read-only file",
         [](const std::filesystem::path& path) {
             WriteFileBytes(path, "old");
             ::chmod(path.c_str(), 0444);
         }},
    };
    for (const Case& test : cases) {
        const auto target = folder / test.name;
        test.make(target);
        const auto before = std::filesystem::status(target);
        EXPECT_THROW(WriteFileAtomically(target, Bytes("new")), FileWriteError) << test.name;
        EXPECT_EQ(std::filesystem::status(target).type(), before.type()) << test.name;
        EXPECT_EQ(ModeOf(target), static_cast<mode_t>(before.permissions())) << test.name;
    }
    EXPECT_EQ(ReadFileBytes(folder / "a read-only file"), "old");
}

TEST_F(AtomicFileTest, AReplacedFileKeepsItsOwnerAndGroup)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a file to another user";
    }
    WriteFileBytes(file, "old");
    ASSERT_EQ(::chown(file.c_str(), 4321, 4322), 0);
    ::chmod(file.c_str(), 0640);

    WriteFileAtomically(file, Bytes("new"));
    struct stat status
    {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 4321u);
    EXPECT_EQ(status.st_gid, 4322u);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

TEST_F(AtomicFileTest, OnlyOurOwnStaleTemporaryFilesAreRemovedAtTheNextSaveIntoTheFolder)
{
    const auto stale = folder / "db.ldb.Ab3xY9.lockmere-tmp";
    const auto fresh = folder / "other.ldb.Qw12Er.lockmere-tmp";
    const auto usersOwn = folder / "notes.Ab3xY9";
    const auto lookalike = folder / "report.lockmere-tmp";
    for (const auto& path : {stale, fresh, usersOwn, lookalike}) {
        WriteFileBytes(path, "x");
    }
    const auto anHourAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    for (const auto& path : {stale, usersOwn, lookalike}) {
        std::filesystem::last_write_time(path, anHourAgo);
    }

    WriteFileAtomically(file, Bytes("saved"));
    EXPECT_FALSE(std::filesystem::exists(stale));
    for (const auto& kept : {fresh, usersOwn, lookalike, file}) {
        EXPECT_TRUE(std::filesystem::exists(kept)) << kept;
    }
}
} // namespace
