#include <gmock/gmock.h>

#include "CliRunner.h"

using ::testing::HasSubstr;
using ::testing::Not;

class CliAnalyze : public CliRunner
{
protected:
    void Add(const std::string& group, const std::string& title, const std::string& password)
    {
        const std::string input = "master\n" + password + "\n" + password + "\n";
        ASSERT_EQ(Run({"add", "-q", database.string(), group, title}, input).exitCode, 0) << title;
    }
};

TEST_F(CliAnalyze, PrintsOneLinePerFindingWeakestFirstAndNoPassword)
{
    Create(database, "master");
    Add("Home", "Router", "password");
    Add("Web", "Shop", "Hx7!pQ2zR9@kL4mN");
    Add("Web", "Forum", "Hx7!pQ2zR9@kL4mN");
    Add("Банк", "Tab\there", "пароль");
    Add("Bank", "Main", "Zk8#qLm2$vTx9&Wp");

    const ProgramResult result = Run({"analyze", database.string()}, "master\n");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = result.out.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(result.out.substr(start, end - start));
    }
    ASSERT_EQ(lines.size(), 4U) << result.out;
    // "master" falls to an offline attack on the file at once.
    EXPECT_THAT(lines[0], ::testing::MatchesRegex("master\t[0-9]+"));
    EXPECT_EQ(lines[1], "weak\t0\tHome\tRouter");
    EXPECT_THAT(lines[2], ::testing::MatchesRegex("weak\t[0-9]+\tБанк\tTab\\\\there"));
    EXPECT_THAT(lines[3], ::testing::MatchesRegex("reused\t[0-9]+\tWeb\tForum\tWeb\tShop"));
    for (const char* password : {"Hx7!pQ2zR9@kL4mN", "пароль", "Zk8#qLm2$vTx9&Wp"}) {
        EXPECT_THAT(result.out, Not(HasSubstr(password)));
    }
}

TEST_F(CliAnalyze, AStrongMasterPasswordIsNotReported)
{
    const std::string strong = "tangerine quietly harbors seventeen velvet cartographers";
    Create(database, strong);
    const ProgramResult result = Run({"analyze", database.string()}, strong + "\n");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "");
}
