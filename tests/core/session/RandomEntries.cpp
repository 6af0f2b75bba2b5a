#include "RandomEntries.h"

namespace {
// Each unit stands alone but the surrogate pair at the end, which is taken whole.
constexpr std::u16string_view Units = u"aZ1 \u00e9\u4e2d\a\1\5\xd83d\xde00";
constexpr std::size_t SurrogatePair = Units.size() - 2;
} // namespace

std::u16string RandomEntries::Text(std::size_t longest)
{
    std::u16string text;
    for (const std::size_t length = Below(longest + 1); text.size() < length;) {
        const std::size_t pick = Below(SurrogatePair + 1);
        text += Units.substr(pick, pick == SurrogatePair ? 2 : 1);
    }
    return text;
}

std::u16string RandomEntries::FieldText(std::size_t longest)
{
    for (;;) {
        std::u16string text = Text(longest);
        if (ExpectedEntries::Storable({text, {}}, {})) {
            return text;
        }
    }
}

ExpectedEntries::Key RandomEntries::Key()
{
    static const std::u16string groups[] = {u"", u"a", u"b", u"\u00e9"};
    return {groups[Below(4)], FieldText(3)};
}

ExpectedEntries::Fields RandomEntries::Fields()
{
    return {FieldText(12), FieldText(12), FieldText(20), FieldText(40)};
}

ExpectedEntries::Fields RandomEntries::UnstorableFields()
{
    ExpectedEntries::Fields fields = Fields();
    std::u16string& spoilt = fields[Below(fields.size())];
    spoilt.insert(Below(spoilt.size() + 1), OneIn(2) ? std::u16string(u"\a\1\5") : std::u16string(1, u'\0'));
    return fields;
}
