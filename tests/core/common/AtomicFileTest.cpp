#include <sys/stat.h>

#include <gtest/gtest.h>

#include "core/common/AtomicFile.h"
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
    void TearDown() override { SetWriteFaultForTesting(std::nullopt); }

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
    WriteFileAtomically(file, Bytes("a"), 0644);
    EXPECT_EQ(ModeOf(file), 0644u);
    ::chmod(file.c_str(), 0600);
    WriteFileAtomically(file, Bytes("b"), 0644);
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
    for (WriteStep step : {WriteStep::Create, WriteStep::Write, WriteStep::Sync, WriteStep::Rename}) {
        SetWriteFaultForTesting(step);
        EXPECT_THROW(WriteFileAtomically(file, Bytes("new")), FileWriteError);
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
