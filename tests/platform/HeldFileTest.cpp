#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include "core/common/AtomicFile.h"
#include "platform/HeldFile.h"
#include "support/LockHolder.h"
#include "support/TempDir.h"

namespace {
void Write(const std::filesystem::path& path, const std::string& text)
{
    WriteFileAtomically(path, std::span(reinterpret_cast<const unsigned char*>(text.data()), text.size()));
}
} // namespace

// The open database held against writers: other Lockmere writers are refused, readers are not.
class HeldDatabaseFile : public ::testing::Test
{
protected:
    void SetUp() override { WriteFileBytes(path, "original"); }

    TempDir folder;
    std::filesystem::path path = folder / "db.ldb";
};

TEST_F(HeldDatabaseFile, OpensAnExistingFile)
{
    HeldFile held;
    EXPECT_TRUE(held.Open(path));
    EXPECT_TRUE(held.IsOpen());
    held.Close();
    EXPECT_FALSE(held.IsOpen());
}

TEST_F(HeldDatabaseFile, AMissingFileCannotBeHeld)
{
    HeldFile held;
    EXPECT_FALSE(held.Open(folder / "missing.ldb"));
    EXPECT_FALSE(held.IsOpen());
}

TEST_F(HeldDatabaseFile, ASecondWriterIsRefusedWhileItIsHeld)
{
    HeldFile held;
    ASSERT_TRUE(held.Open(path));
    EXPECT_THROW(Write(path, "changed"), FileWriteError);
    EXPECT_EQ(ReadFileBytes(path), "original");
    // The refused write leaves nothing beside the file.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST_F(HeldDatabaseFile, ReadersAreFineWhileItIsHeld)
{
    HeldFile held;
    ASSERT_TRUE(held.Open(path));
    HeldFile otherReader;
    EXPECT_TRUE(otherReader.Open(path));
    EXPECT_EQ(ReadFileBytes(path), "original");
}

TEST_F(HeldDatabaseFile, WritingWorksAgainOnceClosed)
{
    HeldFile held;
    ASSERT_TRUE(held.Open(path));
    held.Close();
    EXPECT_NO_THROW(Write(path, "changed"));
    EXPECT_EQ(ReadFileBytes(path), "changed");
}

TEST_F(HeldDatabaseFile, TheHoldEndsWithTheObject)
{
    {
        HeldFile held;
        ASSERT_TRUE(held.Open(path));
    }
    EXPECT_NO_THROW(Write(path, "changed"));
}

TEST_F(HeldDatabaseFile, OpeningAnotherFileLetsGoOfTheFirst)
{
    const std::filesystem::path other = folder / "other.ldb";
    WriteFileBytes(other, "other");
    HeldFile held;
    ASSERT_TRUE(held.Open(path));
    ASSERT_TRUE(held.Open(other));
    EXPECT_NO_THROW(Write(path, "changed"));
    EXPECT_THROW(Write(other, "changed"), FileWriteError);
}

TEST_F(HeldDatabaseFile, AHoldInAnotherProcessRefusesWritersUntilThatProcessDies)
{
    LockHolder holder([&] {
        static HeldFile held;
        return held.Open(path);
    });
    ASSERT_TRUE(holder.Holds());
    EXPECT_THROW(Write(path, "changed"), FileWriteError);

    holder.Kill();
    EXPECT_NO_THROW(Write(path, "changed"));
}

TEST_F(HeldDatabaseFile, AFileBeingWrittenCannotBeHeld)
{
    const int writer = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::flock(writer, LOCK_EX | LOCK_NB), 0);
    HeldFile held;
    EXPECT_FALSE(held.Open(path));
    ::close(writer);
    EXPECT_TRUE(held.Open(path));
}
