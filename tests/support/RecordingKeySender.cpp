#include "support/RecordingKeySender.h"

#include <cstdio>

void RecordingKeySender::MapSpareKey(KeyNumber key, char32_t character)
{
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
    events.push_back("map " + std::to_string(key) + " " + code);
}

KeyNumber TestKeys::Letter(char letter)
{
    return 100 + static_cast<KeyNumber>(letter - 'a');
}

KeyboardSnapshot UsKeyboard()
{
    using namespace TestKeys;
    KeyboardSnapshot keyboard;
    keyboard.shiftKey = Shift;
    keyboard.altGrKey = AltGr;
    keyboard.altKey = Alt;
    keyboard.tabKey = Tab;
    keyboard.enterKey = Enter;
    keyboard.escapeKey = Escape;
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        keyboard.characters[static_cast<char32_t>(letter)] = {Letter(letter), false, false};
        keyboard.characters[static_cast<char32_t>(letter - 'a' + 'A')] = {Letter(letter), true, false};
    }
    keyboard.characters[U'2'] = {Two, false, false};
    keyboard.characters[U'@'] = {Two, true, false};
    keyboard.spareKeys = {FirstSpare, FirstSpare + 1};
    return keyboard;
}

KeyboardSnapshot GermanKeyboard()
{
    using namespace TestKeys;
    KeyboardSnapshot keyboard = UsKeyboard();
    keyboard.characters[U'@'] = {Q, false, true};
    keyboard.characters[U'€'] = {E, false, true};
    keyboard.characters[U'"'] = {Two, true, false};
    keyboard.characters[U'ä'] = {150, false, false};
    keyboard.characters[U'ö'] = {151, false, false};
    return keyboard;
}
