#include <gtest/gtest.h>

#include <cmath>

#include "core/common/Utf.h"
#include "core/health/OfflineAttack.h"
#include "core/health/PasswordHealth.h"
#include "core/health/StrengthEstimate.h"
#include "core/settings/BuiltinTexts.h"
#include "support/EntryBuilder.h"
#include "support/MessageRecorder.h"

namespace {
constexpr double Minute = 60;
constexpr double Hour = 3600;
constexpr double Day = 24 * Hour;
constexpr double Year = 365.25 * Day;

TEST(OfflineAttackTest, DurationsAreSaidInWordsRoundedToOneDigit)
{
    const BuiltinTextSource texts;
    const struct
    {
        double seconds;
        const char16_t* words;
    } cases[] = {
        {0, u"less than a second"},
        {0.9, u"less than a second"},
        {1, u"about 1 second"},
        {42, u"about 40 seconds"},
        {58, u"about 1 minute"},
        {3 * Hour, u"about 3 hours"},
        {2.6 * Hour, u"about 3 hours"},
        {23.9 * Hour, u"about 20 hours"},
        {30 * Hour, u"about 1 day"},
        {10 * Day, u"about 10 days"},
        {364 * Day, u"about 1 year"},
        {50 * Year, u"about 50 years"},
        {99 * Year, u"about 100 years"},
        {940 * Year, u"about 900 years"},
        {999 * Year, u"more than a thousand years"},
        {1e30, u"more than a thousand years"},
    };
    for (const auto& [seconds, words] : cases) {
        EXPECT_EQ(DurationInWords(seconds, texts), words) << seconds;
    }
}

TEST(OfflineAttackTest, TheAttackTriesTenBillionGuessesASecondAndACenturyIsTheBorder)
{
    EXPECT_DOUBLE_EQ(OfflineAttackSeconds(std::log2(3e10)), 3.0);
    const double centuryBits = std::log2(100 * Year * 1e10);
    EXPECT_TRUE(MasterPasswordWeak(centuryBits - 0.01));
    EXPECT_FALSE(MasterPasswordWeak(centuryBits + 0.01));
}

TEST(OfflineAttackTest, TheAssessmentNamesTheDurationAndWarnsOnlyUnderACentury)
{
    const BuiltinTextSource texts;
    const struct
    {
        const char16_t* password;
        bool weak;
    } cases[] = {
        {u"", true},
        {u"password1", true},
        {u"Tr0ub4dor&3", true},
        {u"correct horse battery staple", false},
        {u"vX9#qLm2$Rt7!wZp4&Kd8@Hs", false},
    };
    for (const auto& [password, weak] : cases) {
        const MasterPasswordAssessment assessment = AssessMasterPassword(password, texts);
        EXPECT_EQ(assessment.weak, weak) << Utf16ToUtf8(password) << ": " << assessment.bits << " bits";
        const std::u16string duration = DurationInWords(OfflineAttackSeconds(assessment.bits), texts);
        EXPECT_NE(assessment.estimate.find(u"find this password: " + duration + u"."), std::u16string::npos)
            << Utf16ToUtf8(assessment.estimate);
        EXPECT_NE(assessment.estimate.find(u"10^10"), std::u16string::npos);
    }
}

TEST(OfflineAttackTest, TheHealthReportPutsAWeakMasterPasswordFirstAndOnlyWhenGiven)
{
    MessageRecorder recorder;
    const BuiltinTextSource texts;
    CDataBase database(recorder, texts);
    const Entry weakEntry = MakeEntry(u"Web", u"Bank", u"ann", u"123");
    database.Add(weakEntry.Key(), weakEntry.Fields());

    const auto weakMaster = AnalyzePasswordHealth(database, ToSecure(u"summer2024"));
    ASSERT_EQ(weakMaster.size(), 2u);
    EXPECT_EQ(weakMaster[0].kind, HealthFindingKind::WeakMasterPassword);
    EXPECT_TRUE(weakMaster[0].entries.empty());
    EXPECT_EQ(weakMaster[0].bits, EstimateStrengthBits(u"summer2024"));
    EXPECT_EQ(weakMaster[1].kind, HealthFindingKind::WeakPassword);

    const auto strongMaster = AnalyzePasswordHealth(database, ToSecure(u"correct horse battery staple"));
    ASSERT_EQ(strongMaster.size(), 1u);
    EXPECT_EQ(strongMaster[0].kind, HealthFindingKind::WeakPassword);
    EXPECT_EQ(AnalyzePasswordHealth(database).size(), 1u);
}
} // namespace
