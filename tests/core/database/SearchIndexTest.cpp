#include <gtest/gtest.h>

#include "core/database/SearchIndex.h"
#include "core/settings/BuiltinTexts.h"
#include "support/EntryBuilder.h"
#include "support/MessageRecorder.h"

namespace {
// German and Russian letters are tried through the window's search.
TEST(SearchIndexTest, FindsTermsInEveryFieldButThePasswordIgnoringCase)
{
    MessageRecorder recorder;
    BuiltinTextSource texts;
    CDataBase database(recorder, texts);
    for (const Entry& entry : {MakeEntry(u"Mail", u"Work", u"anna", u"secret1", u"https://mail.example"),
                               MakeEntry(u"Bank", u"ab", u"cd", u"secret2", u"", u"\U0001F600 Emoji, PIN")}) {
        database.Add(entry.Key(), entry.Fields());
    }
    const std::vector<std::pair<std::u16string_view, std::vector<std::u16string_view>>> cases = {
        {u"", {u"ab", u"Work"}},
        {u"MAIL", {u"Work"}},       // group and URL of one entry count once
        {u"bcd", {}},               // title "ab" and user "cd" are two fields, not one text
        {u"\U0001F600 e", {u"ab"}}, // text outside the basic plane
        {u"n", {u"ab", u"Work"}},   // several matches, in key order
        {u"secret", {}},            // passwords are never searched
    };
    const SearchIndex index(database);
    for (std::size_t number = 0; number < cases.size(); ++number) {
        SCOPED_TRACE(number);
        std::vector<std::u16string_view> found;
        for (const auto& item : index.Matching(cases[number].first)) {
            found.push_back(item->first.title);
        }
        EXPECT_EQ(found, cases[number].second);
    }
}
} // namespace
