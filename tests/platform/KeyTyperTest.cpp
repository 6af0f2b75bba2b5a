#include <gtest/gtest.h>

#include "platform/KeyTyper.h"
#include "support/RecordingKeySender.h"

namespace {
using namespace TestKeys;
using Events = std::vector<std::string>;

std::string Press(KeyNumber key)
{
    return "+" + std::to_string(key);
}

std::string Release(KeyNumber key)
{
    return "-" + std::to_string(key);
}

Events Tap(KeyNumber key)
{
    return {Press(key), Release(key)};
}

Events With(KeyNumber modifier, KeyNumber key)
{
    return {Press(modifier), Press(key), Release(key), Release(modifier)};
}

Events Join(std::initializer_list<Events> parts)
{
    Events joined;
    for (const Events& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}

struct TypingCase
{
    const char* name;
    KeyboardSnapshot keyboard;
    std::vector<std::u16string_view> pieces;
    Events expected;
};

KeyboardSnapshot WithCapsLock(KeyboardSnapshot keyboard)
{
    keyboard.lockedModifiers = 2;
    return keyboard;
}

KeyboardSnapshot WithHeldControlAndAlt(KeyboardSnapshot keyboard)
{
    keyboard.heldModifiers = {Control, Alt};
    return keyboard;
}

void PrintTo(const TypingCase& typing, std::ostream* out)
{
    *out << typing.name;
}

class KeyTyperTest : public ::testing::TestWithParam<TypingCase>
{};

TEST_P(KeyTyperTest, SendsTheKeysThatMakeExactlyTheseCharactersArrive)
{
    RecordingKeySender sender;
    sender.keyboard = GetParam().keyboard;
    KeyTyper(sender).Type(GetParam().pieces);
    EXPECT_EQ(sender.events, GetParam().expected);
}

const TypingCase TypingCases[] = {
    {"AutoLoginOfOneCharacterEach",
     UsKeyboard(),
     {u"u", u"\t", u"p", u"\r"},
     Join({Tap(Letter('u')), Tap(Tab), Tap(Letter('p')), Tap(Enter)})},
    {"AutoLoginWithEmptyValuesStillTypesTabAndEnter",
     UsKeyboard(),
     {u"", u"\t", u"", u"\r"},
     Join({Tap(Tab), Tap(Enter)})},
    {"EmptyTextTypesNothing", UsKeyboard(), {u""}, {}},
    {"CapitalLetterIsWrappedInShift", UsKeyboard(), {u"A"}, With(Shift, Letter('a'))},
    {"AtSignNeedsShiftOnUsLayout", UsKeyboard(), {u"@"}, With(Shift, Two)},
    {"AtSignNeedsAltGrOnGermanLayout", GermanKeyboard(), {u"@"}, With(AltGr, Q)},
    {"GermanUmlautHasItsOwnKey", GermanKeyboard(), {u"ä"}, Tap(150)},
    {"OtherScriptBorrowsASpareKeyAndGivesItBack",
     UsKeyboard(),
     {u"Ж"},
     {"map 200 U+0416", Press(FirstSpare), Release(FirstSpare), "wait 250", "restore 200"}},
    {"AstralCharacterIsOneCharacter",
     UsKeyboard(),
     {u"a\U0001F600"},
     Join({{"map 200 U+1F600"}, Tap(Letter('a')), Tap(FirstSpare), {"wait 250", "restore 200"}})},
    {"LoneSurrogateArrivesAsReplacementCharacter",
     UsKeyboard(),
     {std::u16string_view(u"\xD800", 1)},
     {"map 200 U+FFFD", Press(FirstSpare), Release(FirstSpare), "wait 250", "restore 200"}},
    {"RepeatedForeignCharacterKeepsItsSpareKey",
     GermanKeyboard(),
     {u"ЖaЖ"},
     Join({{"map 200 U+0416"}, Tap(FirstSpare), Tap(Letter('a')), Tap(FirstSpare), {"wait 250", "restore 200"}})},
    {"MoreForeignCharactersThanSpareKeysAreTypedInTurns",
     UsKeyboard(),
     {u"ЖЯé"},
     Join({{"map 200 U+0416", "map 201 U+042F"},
           Tap(FirstSpare),
           Tap(FirstSpare + 1),
           {"wait 250", "restore 200", "restore 201", "map 200 U+00E9"},
           Tap(FirstSpare),
           {"wait 250", "restore 200"}})},
    {"CapsLockIsOffWhileTypingAndOnAgainAfterwards",
     WithCapsLock(UsKeyboard()),
     {u"aA"},
     Join({{"lock 0"}, Tap(Letter('a')), With(Shift, Letter('a')), {"lock 2"}})},
    {"ModifiersTheUserHoldsAreReleasedFirst",
     WithHeldControlAndAlt(UsKeyboard()),
     {u"a"},
     Join({{Release(Control), Release(Alt)}, Tap(Letter('a'))})},
};

INSTANTIATE_TEST_SUITE_P(Cases, KeyTyperTest, ::testing::ValuesIn(TypingCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(KeyTyperSwitchTest, AltTabAndAltEscFollowTheirOrderAndWaits)
{
    RecordingKeySender menu;
    menu.keyboard = WithHeldControlAndAlt(UsKeyboard());
    KeyTyper(menu).SwitchWindowByKeys(ReturnWay::AltTab);
    EXPECT_EQ(menu.events, (Events{Release(Control), Release(Alt), Press(Alt), Press(Tab), "wait 10", Release(Alt),
                                   Release(Tab), "wait 100"}));

    RecordingKeySender tray;
    tray.keyboard = UsKeyboard();
    KeyTyper(tray).SwitchWindowByKeys(ReturnWay::AltEsc);
    EXPECT_EQ(tray.events, (Events{Press(Alt), Press(Escape), "wait 5", Release(Escape), Release(Alt), "wait 100"}));
}
} // namespace
