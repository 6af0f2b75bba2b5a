#include "core/settings/Options.h"

#include <array>
#include <limits>
#include <memory>
#include <stdexcept>
#include <variant>

#include "core/common/Reporter.h"
#include "core/settings/XML.h"

namespace {
using Field = std::variant<bool COptions::*, std::int32_t COptions::*, std::u16string COptions::*>;

struct Setting
{
    std::u16string_view key;
    Field field;
};

// The order in which a new settings file lists the settings.
const std::array<Setting, 34> Settings = {{
    {u"fAutoRun", &COptions::fAutoRun},
    {u"fAutoRunHide", &COptions::fAutoRunHide},
    {u"fCloseHide", &COptions::fCloseHide},
    {u"fLastDB", &COptions::fLastDB},
    {u"LastPath", &COptions::LastPath},
    {u"fRequestDelete", &COptions::fRequestDelete},
    {u"Language", &COptions::Language},
    {u"fTop", &COptions::fTop},
    {u"fHideUser", &COptions::fHideUser},
    {u"fHidePass", &COptions::fHidePass},
    {u"fGroupsTree", &COptions::fGroupsTree},
    {u"fColumn0", &COptions::fColumn0},
    {u"fColumn1", &COptions::fColumn1},
    {u"fColumn2", &COptions::fColumn2},
    {u"fColumn3", &COptions::fColumn3},
    {u"fClearClipboardTime", &COptions::fClearClipboardTime},
    {u"uClearClipboardTime", &COptions::uClearClipboardTime},
    {u"fClearClipboardExit", &COptions::fClearClipboardExit},
    {u"fLockDBAuto", &COptions::fLockDBAuto},
    {u"uLockDBAutoTime", &COptions::uLockDBAutoTime},
    {u"fLockDBMin", &COptions::fLockDBMin},
    {u"fPassGenUpperLetters", &COptions::fPassGenUpperLetters},
    {u"fPassGenLowerLetters", &COptions::fPassGenLowerLetters},
    {u"fPassGenNumbers", &COptions::fPassGenNumbers},
    {u"fPassGenSpecSymbols", &COptions::fPassGenSpecSymbols},
    {u"iPassGenLength", &COptions::iPassGenLength},
    {u"fPassGenAuto", &COptions::fPassGenAuto},
    {u"fPasteMenuEdit", &COptions::fPasteMenuEdit},
    {u"fPasteMenuTray", &COptions::fPasteMenuTray},
    {u"fAutoLoginMenuEdit", &COptions::fAutoLoginMenuEdit},
    {u"fAutoLoginMenuTray", &COptions::fAutoLoginMenuTray},
    {u"fGroupEntriesTray", &COptions::fGroupEntriesTray},
    {u"fTip0", &COptions::fTip0},
    {u"fTip1", &COptions::fTip1},
}};

bool IsBlank(char16_t character)
{
    return character == u' ' || (character >= u'\t' && character <= u'\r');
}

// Leading white space and one sign, then the digits up to the first other character, saturated at the 32-bit
// limits; 0 when there are no digits. Lenient on purpose, so that a hand-edited value such as "45 seconds" is read
// as 45.
std::int32_t TextToNumber(std::u16string_view text)
{
    std::size_t position = 0;
    while (position < text.size() && IsBlank(text[position])) {
        ++position;
    }
    bool negative = false;
    if (position < text.size() && (text[position] == u'+' || text[position] == u'-')) {
        negative = text[position] == u'-';
        ++position;
    }
    constexpr std::int64_t Limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; position < text.size() && text[position] >= u'0' && text[position] <= u'9'; ++position) {
        magnitude = std::min(magnitude * 10 + (text[position] - u'0'), Limit);
    }
    if (negative) {
        return static_cast<std::int32_t>(-magnitude);
    }
    return static_cast<std::int32_t>(std::min(magnitude, Limit - 1));
}

std::u16string NumberToText(std::int32_t number)
{
    const std::string digits = std::to_string(number);
    return std::u16string(digits.begin(), digits.end());
}
} // namespace

void COptions::Load(IMessageReporter& reporter, const std::filesystem::path& file)
{
    try {
        CXML document;
        if (!document.LoadFile(file)) {
            return;
        }
        for (const Setting& setting : Settings) {
            std::u16string path = u"Options/";
            path += setting.key;
            const std::u16string text = document.GetValue(path).value_or(std::u16string());
            if (const auto* flag = std::get_if<bool COptions::*>(&setting.field)) {
                if (!text.empty()) {
                    this->*(*flag) = TextToNumber(text) != 0;
                }
            } else if (const auto* number = std::get_if<std::int32_t COptions::*>(&setting.field)) {
                if (!text.empty()) {
                    this->*(*number) = TextToNumber(text);
                }
            } else {
                this->*std::get<std::u16string COptions::*>(setting.field) = text;
            }
        }
    } catch (const XmlError& error) {
        reporter.ShowMessage(error.Message(), MessageIcon::Error);
    }
}

bool COptions::Save(IMessageReporter& reporter, const std::filesystem::path& file, const FileReplacement& how) const
{
    try {
        auto document = std::make_unique<CXML>();
        document->LoadOrCreate(file);
        if (!document->GetValue(u"Options")) {
            // A well-formed file with another root would take none of the values, and the save would report success
            // while storing nothing, every time. It is no settings file, so it is replaced like a damaged one.
            document = std::make_unique<CXML>();
            document->LoadOrCreate(std::filesystem::path());
        }
        for (const Setting& setting : Settings) {
            std::u16string text;
            if (const auto* flag = std::get_if<bool COptions::*>(&setting.field)) {
                text = this->*(*flag) ? u"1" : u"0";
            } else if (const auto* number = std::get_if<std::int32_t COptions::*>(&setting.field)) {
                text = NumberToText(this->*(*number));
            } else if (setting.field == Field(&COptions::LastPath)) {
                // Without reopening at start there is no reason to leave the database's location on disk.
                text = fLastDB ? LastPath : std::u16string();
            } else {
                text = this->*std::get<std::u16string COptions::*>(setting.field);
            }
            document->SetValue(setting.key, text);
        }
        document->Save(file, how);
        return true;
    } catch (const XmlError& error) {
        reporter.ShowMessage(error.Message(), MessageIcon::Error);
    } catch (...) {
        // Out of memory on a huge hand-made file, say: the save fails like any other, and nothing escapes to end
        // the program at exit.
        reporter.ShowMessage(std::u16string(u"Unable to save XML document."), MessageIcon::Error);
    }
    return false;
}

bool& COptions::Tip(int number)
{
    switch (number) {
    case 0:
        return fTip0;
    case 1:
        return fTip1;
    default:
        throw std::out_of_range("no such tip");
    }
}

bool COptions::Tip(int number) const
{
    return const_cast<COptions*>(this)->Tip(number);
}
