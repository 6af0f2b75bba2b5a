#include <gtest/gtest.h>

#include "core/health/PasswordHealth.h"
#include "core/health/StrengthEstimate.h"
#include "support/MessageRecorder.h"

namespace {
struct ExpectedFinding
{
    HealthFindingKind kind;
    std::vector<std::u16string> entries; // "group/title"
};

class PasswordHealthTest : public testing::Test
{
protected:
    void Add(std::u16string_view group, std::u16string_view title, std::u16string_view password)
    {
        database.Add({ToSecure(group), ToSecure(title)}, {ToSecure(u"ann"), ToSecure(password), {}, {}});
    }

    static std::vector<ExpectedFinding> Named(const std::vector<HealthFinding>& findings)
    {
        std::vector<ExpectedFinding> named;
        for (const HealthFinding& finding : findings) {
            named.push_back({finding.kind, {}});
            for (const EntryKey& key : finding.entries) {
                named.back().entries.push_back(FromSecure(key.group) + u"/" + FromSecure(key.title));
            }
        }
        return named;
    }

    MessageRecorder recorder;
    BuiltinTextSource texts;
    CDataBase database{recorder, texts};
};

bool operator==(const ExpectedFinding& left, const ExpectedFinding& right)
{
    return left.kind == right.kind && left.entries == right.entries;
}

void PrintTo(const ExpectedFinding& finding, std::ostream* out)
{
    *out << static_cast<int>(finding.kind) << ':';
    for (const auto& entry : finding.entries) {
        *out << ' ' << std::string(entry.begin(), entry.end());
    }
}

TEST(StrengthEstimateTest, RatesCommonPasswordsWeakInEveryScriptAndRandomOnesStrong)
{
    struct Case
    {
        std::u16string password;
        StrengthLevel level;
    };
    const Case cases[] = {
        {u"", StrengthLevel::VeryWeak},
        {u"password", StrengthLevel::VeryWeak},
        {u"qwerty123", StrengthLevel::VeryWeak},
        // "qwerty" and "password" typed on the Russian layout, and the Russian word for password.
        {u"йцукен", StrengthLevel::VeryWeak},
        {u"Пароль", StrengthLevel::VeryWeak},
        {u"пароль2024", StrengthLevel::Weak},
        {u"Zk8#qLm2$vTx9&Wp", StrengthLevel::Strong},
        {u"Ёлка-Щука-Зной-Пыль-71", StrengthLevel::Strong},
    };
    for (const Case& test : cases) {
        const double bits = EstimateStrengthBits(ToSecure(test.password));
        EXPECT_EQ(StrengthLevelOf(bits), test.level)
            << std::string(test.password.begin(), test.password.end()) << ": " << bits << " bits";
    }
}

TEST_F(PasswordHealthTest, FindsEmptyReusedAndWeakPasswordsWeakestFirstOnAnyNumberOfThreads)
{
    Add(u"Work", u"VPN", u"");
    Add(u"Mail", u"Gmail", u"");
    Add(u"Bank", u"Main", u"Zk8#qLm2$vTx9&Wp");
    Add(u"Home", u"Router", u"password");
    Add(u"Web", u"Shop", u"Hx7!pQ2zR9@kL4mN");
    Add(u"Web", u"Forum", u"Hx7!pQ2zR9@kL4mN");
    Add(u"Банк", u"Сбер", u"пароль");
    Add(u"Social", u"B", u"qwerty");
    Add(u"Social", u"A", u"qwerty");
    const std::vector<ExpectedFinding> expected = {
        {HealthFindingKind::EmptyPassword, {u"Mail/Gmail"}},
        {HealthFindingKind::EmptyPassword, {u"Work/VPN"}},
        {HealthFindingKind::WeakPassword, {u"Home/Router"}},
        {HealthFindingKind::ReusedPassword, {u"Social/A", u"Social/B"}},
        {HealthFindingKind::WeakPassword, {u"Social/A"}},
        {HealthFindingKind::WeakPassword, {u"Social/B"}},
        {HealthFindingKind::WeakPassword, {u"Банк/Сбер"}},
        {HealthFindingKind::ReusedPassword, {u"Web/Forum", u"Web/Shop"}},
    };
    const PasswordHealthAnalysis analysis(database);
    // The analysis works on its own copy: the database may be locked while it runs.
    database.Clear();
    EXPECT_EQ(analysis.DistinctPasswords(), 5U);
    for (unsigned threads : {1U, 3U, 16U}) {
        HealthProgress progress;
        const auto findings = analysis.Run(progress, threads);
        ASSERT_TRUE(findings) << threads;
        EXPECT_EQ(Named(*findings), expected) << threads << " threads";
        EXPECT_EQ(progress.estimated, 5U);
        EXPECT_TRUE(std::is_sorted(findings->begin(), findings->end(),
                                   [](const auto& left, const auto& right) { return left.bits < right.bits; }));
    }
}

TEST_F(PasswordHealthTest, AStoppedAnalysisGivesNoFindings)
{
    Add(u"Home", u"Router", u"password");
    HealthProgress progress;
    progress.stop = true;
    EXPECT_FALSE(PasswordHealthAnalysis(database).Run(progress, 2));
}
} // namespace
