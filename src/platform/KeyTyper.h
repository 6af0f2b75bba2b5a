#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/KeySender.h"
#include "platform/WindowSwitcher.h"

// Types texts through a key sender so that exactly their characters arrive, whatever the active layout, the locks
// that are on and the modifiers the user still holds down. A TAB or CR character is typed with the Tab or Enter key.
class KeyTyper
{
public:
    explicit KeyTyper(IKeySender& sender);

    // Alt+Tab or Alt+Esc with the waits that let the window manager finish the switch.
    void SwitchWindowByKeys(ReturnWay way);
    // The pieces in order, as one stretch of typing.
    void Type(const std::vector<std::u16string_view>& pieces);

private:
    void ReleaseHeldModifiers(const KeyboardSnapshot& keyboard);
    void TypeCharacters(const KeyboardSnapshot& keyboard, const std::u32string& characters);
    void TypeCharacter(const KeyboardSnapshot& keyboard, char32_t character, const std::vector<KeyNumber>& borrowed,
                       const std::u32string& borrowedCharacters);
    void Tap(KeyNumber key);

    IKeySender& sender;
};
