#include <gtest/gtest.h>

#include "core/settings/WebLinks.h"

namespace {
const std::u16string Site = VendorSite;

TEST(WebLinksTest, RussianGetsTheRussianPages)
{
    EXPECT_EQ(HelpPageAddress(u"Russian"), Site + u"?lng=ru&p=lockmere_help");
    EXPECT_EQ(UpdatePageAddress(u"Russian"), Site + u"?lng=ru&p=lockmere");
    EXPECT_EQ(VendorPageAddress(u"Russian"), Site + u"?lng=ru");
}

TEST(WebLinksTest, TheNameIsComparedCaseSensitively)
{
    for (const std::u16string language : {u"russian", u"RUSSIAN", u"Russian ", u"German", u""}) {
        EXPECT_EQ(HelpPageAddress(language), Site + u"?p=lockmere_help");
        EXPECT_EQ(UpdatePageAddress(language), Site + u"?p=lockmere");
        EXPECT_EQ(VendorPageAddress(language), Site);
    }
}
} // namespace
