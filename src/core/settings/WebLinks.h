#pragma once

#include <string>

// The vendor's web site, the one address every web link starts from.
inline constexpr char16_t VendorSite[] = u"https://www.tavilo.com/";

// The pages the Help, Check for Update and About links open. Only the language named exactly "Russian" gets the
// Russian pages.
std::u16string HelpPageAddress(const std::u16string& language);
std::u16string UpdatePageAddress(const std::u16string& language);
std::u16string VendorPageAddress(const std::u16string& language);
std::u16string FormFillingHelpAddress(const std::u16string& language);
