#include <gmock/gmock.h>

#include <algorithm>
#include <thread>

#include "CliRunner.h"
#include "core/common/Utf.h"

namespace {
using testing::AnyOf;
using testing::HasSubstr;

const std::string FileError =
    "An unknown file exception occurred when attempting to save the database. It is recommended that you restart the "
    "application as soon as possible.";
const std::string ChangedByAnother = "The database file was changed by another program after it was read";
// Every change checks before the password that no other Lockmere holds the file; the other writer may be saving.
const std::string HeldByAnother = "is held open by another Lockmere";

// Two lockmere-cli processes changing one database at the same time: each change is either in the file or refused
// with a message, never silently lost.
class CliConcurrentWriters : public CliRunner
{
protected:
    void SetUp() override { Create(database, "pw"); }

    struct Attempt
    {
        std::string title;
        ProgramResult result;
    };

    std::vector<Attempt> AddMany(const std::string& writer, int count) const
    {
        std::vector<Attempt> attempts;
        for (int i = 0; i < count; ++i) {
            const std::string title = writer + " " + std::to_string(i);
            attempts.push_back({title, Run({"add", database.string(), "Race", title}, "pw\np\np\n")});
        }
        return attempts;
    }
};

TEST_F(CliConcurrentWriters, EveryAddIsEitherInTheFileOrRefusedWithAMessage)
{
    std::vector<Attempt> first;
    std::vector<Attempt> second;
    std::thread other([&] { second = AddMany("B", 30); });
    first = AddMany("A", 30);
    other.join();

    std::vector<std::string> inFile;
    for (const Entry& entry : ReadEntries(database, "pw")) {
        inFile.push_back(SecureToUtf8(entry.title));
    }
    int done = 0;
    for (const std::vector<Attempt>* attempts : {&first, &second}) {
        for (const Attempt& attempt : *attempts) {
            const bool stored = std::find(inFile.begin(), inFile.end(), attempt.title) != inFile.end();
            if (attempt.result.exitCode == 0) {
                ++done;
                EXPECT_TRUE(stored) << attempt.title << " was reported as added but is not in the file";
                EXPECT_EQ(attempt.result.err, "lockmere-cli: Added Race/" + attempt.title + ".\n");
            } else {
                EXPECT_FALSE(stored) << attempt.title << " was refused but is in the file";
                EXPECT_EQ(attempt.result.exitCode, 1);
                EXPECT_THAT(attempt.result.err,
                            AnyOf(HasSubstr(FileError), HasSubstr(ChangedByAnother), HasSubstr(HeldByAnother)));
            }
        }
    }
    EXPECT_EQ(inFile.size(), static_cast<std::size_t>(done));
    EXPECT_GT(done, 0);
}
} // namespace
