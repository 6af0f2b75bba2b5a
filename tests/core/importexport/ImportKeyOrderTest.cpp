#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/importexport/EpochTime.h"
#include "core/importexport/ImportKeyOrder.h"

namespace {
struct Key
{
    std::u16string group;
    std::u16string title;
};

TEST(ImportKeyOrderTest, KeyOrderWithEqualKeysInTheirOrder)
{
    const std::u16string high = u"\uFFFF\uFFFF";
    const std::vector<std::pair<std::vector<Key>, std::vector<std::uint32_t>>> cases = {
        {{}, {}},
        {{{u"A", u"x"}, {u"B", u"a"}}, {0, 1}},
        {{{u"B", u"a"}, {u"A", u"x"}, {u"A", u"b"}}, {2, 1, 0}},
        // A shorter title first; equal keys in their order, also beyond the units the sort number holds.
        {{{u"G", u"abcd"}, {u"G", u"abc"}, {u"G", u"abcd"}, {u"G", u"ab"}}, {3, 1, 0, 2}},
        {{{u"G", u"abcz"}, {u"G", u"abcy"}}, {1, 0}},
        // Units the number cannot tell apart, and groups that return after another.
        {{{u"G", high + u"b"}, {u"G", u"\uFFFE"}, {u"G", high + u"a"}}, {1, 2, 0}},
        {{{u"B", u"1"}, {u"A", u"1"}, {u"B", u"0"}, {u"", u"9"}}, {3, 1, 2, 0}},
    };
    for (const auto& [keys, expected] : cases) {
        EXPECT_EQ(ImportKeyOrder(keys.size(), [&](std::size_t i) -> const Key& { return keys[i]; }), expected)
            << keys.size();
    }
}

TEST(ImportKeyOrderTest, EpochTimesBecomeIsoDatesUpToTheLastSecondOfYear9999)
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
