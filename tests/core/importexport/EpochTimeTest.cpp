#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/importexport/EpochTime.h"

namespace {
TEST(EpochTimeTest, CountsOfSecondsOrMillisecondsBecomeIsoDatesUpToTheLastSecondOfYear9999)
{
    const std::vector<std::pair<std::u16string, std::u16string>> cases = {
        {u"0", u"1970-01-01T00:00:00Z"},
        {u"1704067200", u"2024-01-01T00:00:00Z"},
        {u"1700000000123", u"2023-11-14T22:13:20Z"},
        // Twelve digits and more are milliseconds.
        {u"99999999999", u"5138-11-16T09:46:39Z"},
        {u"253402300799999", u"9999-12-31T23:59:59Z"},
        {u"253402300800000", u""},
        {u"999999999999999", u""},
        {u"1000000000000000", u""},
        {u"-1", u""},
        {u"12a", u""},
        {u"", u""},
    };
    for (const auto& [count, expected] : cases) {
        const std::optional<std::int64_t> seconds = EpochSeconds(count);
        const std::u16string date = seconds ? std::u16string(IsoDateOfEpochSeconds(*seconds).data(), 20) : u"";
        EXPECT_EQ(date, expected) << std::string(count.begin(), count.end());
    }
}
} // namespace
