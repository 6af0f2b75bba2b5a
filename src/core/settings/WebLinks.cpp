#include "core/settings/WebLinks.h"

namespace {
bool IsRussian(const std::u16string& language)
{
    return language == u"Russian";
}
} // namespace

std::u16string HelpPageAddress(const std::u16string& language)
{
    return VendorSite + std::u16string(IsRussian(language) ? u"?lng=ru&p=lockmere_help" : u"?p=lockmere_help");
}

std::u16string UpdatePageAddress(const std::u16string& language)
{
    return VendorSite + std::u16string(IsRussian(language) ? u"?lng=ru&p=lockmere" : u"?p=lockmere");
}

std::u16string VendorPageAddress(const std::u16string& language)
{
    return VendorSite + std::u16string(IsRussian(language) ? u"?lng=ru" : u"");
}

std::u16string FormFillingHelpAddress(const std::u16string& language)
{
    return VendorSite + std::u16string(u"?p=lockmere_help_form_filling") + (IsRussian(language) ? u"&lng=ru" : u"");
}
