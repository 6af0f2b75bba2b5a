#include <gtest/gtest.h>

#include <string>
#include <vector>

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
} // namespace
