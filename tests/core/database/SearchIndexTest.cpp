#include <gtest/gtest.h>

#include "core/database/SearchIndex.h"
#include "core/settings/BuiltinTexts.h"
#include "support/MessageRecorder.h"

namespace {
TEST(SearchIndexTest, FindsTermsInEveryFieldButThePasswordIgnoringCase)
{
    MessageRecorder recorder;
    BuiltinTextSource texts;
    CDataBase database(recorder, texts);
    auto add = [&database](const char16_t* group, const char16_t* title, const char16_t* user, const char16_t* password,
                           const char16_t* url, const char16_t* notes) {
        database.Add({ToSecure(group), ToSecure(title)},
                     {ToSecure(user), ToSecure(password), ToSecure(url), ToSecure(notes)});
    };
    add(u"Mail", u"Work", u"anna", u"secret1", u"https://mail.example", u"");
    add(u"Bank", u"Girokonto", u"ÄRGER", u"Straße", u"", u"PIN am Schalter");
    add(u"Сеть", u"Роутер", u"admin", u"пароль", u"192.168.0.1", u"Wohnzimmer");
    add(u"Sites", u"ab", u"cd", u"", u"", u"\U0001F600 emoji");

    struct Case
    {
        const char16_t* term;
        std::vector<const char16_t*> titles; // of the matches, in key order
    };
    const std::vector<Case> cases = {
        {u"", {u"Girokonto", u"Work", u"ab", u"Роутер"}},
        {u"MAIL", {u"Work"}},           // group and URL of one entry count once
        {u"girokonto", {u"Girokonto"}}, // title
        {u"ärger", {u"Girokonto"}},     // user name, German capitals
        {u"РОУТЕР", {u"Роутер"}},       // Russian capitals
        {u"сеть", {u"Роутер"}},         // group
        {u"168.0", {u"Роутер"}},        // URL
        {u"schalter", {u"Girokonto"}},  // notes
        {u"secret", {}},                // passwords are never searched
        {u"пароль", {}},
        {u"straße", {}},
        {u"bcd", {}},                       // title "ab" and user "cd" are two fields, not one text
        {u"\U0001F600 E", {u"ab"}},         // text outside the basic plane
        {u"er", {u"Girokonto", u"Роутер"}}, // several matches, in key order
    };
    const SearchIndex index(database);
    for (const Case& test : cases) {
        SCOPED_TRACE(&test - cases.data());
        std::vector<SecureString> titles;
        for (const auto& item : index.Matching(test.term)) {
            titles.push_back(item->first.title);
        }
        std::vector<SecureString> expected;
        for (const char16_t* title : test.titles) {
            expected.push_back(ToSecure(title));
        }
        EXPECT_EQ(titles, expected);
    }
}
} // namespace
