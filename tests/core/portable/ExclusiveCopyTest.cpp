#include "core/portable/ExclusiveCopy.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/TempDir.h"

namespace {
std::size_t EntriesIn(const std::filesystem::path& folder)
{
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()));
}

TEST(ExclusiveCopyTest, CopiesWithTheSourcesBitsAndNeverOverAnExistingName)
{
    struct Case
    {
        const char* name;
        std::filesystem::perms sourceBits;
        const char* existing; // what stands at the target beforehand: "", "file", "link" (to nowhere)
        bool copied;
    };
    using std::filesystem::perms;
    for (const Case& c :
         {Case{"a program", perms(0755), "", true}, Case{"a database", perms(0600), "", true},
          Case{"onto a file", perms(0644), "file", false}, Case{"onto a dangling link", perms(0644), "link", false}}) {
        SCOPED_TRACE(c.name);
        TempDir folder;
        WriteFileBytes(folder / "source", "source bytes");
        std::filesystem::permissions(folder / "source", c.sourceBits);
        std::filesystem::create_directory(folder / "target");
        const std::filesystem::path target = folder / "target" / "copy";
        if (std::string(c.existing) == "file") {
            WriteFileBytes(target, "mine");
        } else if (std::string(c.existing) == "link") {
            std::filesystem::create_symlink(folder / "nowhere", target);
        }

        EXPECT_EQ(CopyFileExclusively(folder / "source", target), c.copied);
        // Nothing half-written stays beside the target.
        EXPECT_EQ(EntriesIn(folder / "target"), 1u);
        if (c.copied) {
            EXPECT_EQ(ReadFileBytes(target), "source bytes");
            EXPECT_EQ(std::filesystem::status(target).permissions() & perms::all, c.sourceBits);
        } else if (std::string(c.existing) == "file") {
            EXPECT_EQ(ReadFileBytes(target), "mine");
        } else {
            EXPECT_TRUE(std::filesystem::is_symlink(target));
        }
    }
}

TEST(ExclusiveCopyTest, ASourceThatIsNoFileCopiesNothing)
{
    TempDir folder;
    std::filesystem::create_directory(folder / "a folder");
    for (const char* source : {"missing", "a folder"}) {
        EXPECT_FALSE(CopyFileExclusively(folder / source, folder / "copy")) << source;
        EXPECT_FALSE(std::filesystem::exists(folder / "copy")) << source;
    }
}
} // namespace
