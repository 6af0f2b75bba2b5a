#include "platform/KeyTyper.h"

#include <algorithm>
#include <cstring>

namespace {
using namespace std::chrono_literals;

// A program reads the keyboard mapping again only when it gets round to the change notice, and reads it as it is
// then; a busy program may be that far behind, so a borrowed key keeps its character this long after the last press.
constexpr auto BorrowedKeySettleTime = 250ms;
constexpr char32_t Tab = U'\t';
constexpr char32_t Enter = U'\r';
constexpr char32_t Replacement = U'\uFFFD';

bool IsHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Whole characters, so that one beyond the Basic Multilingual Plane is typed once and not as two halves.
void AppendCharacters(std::u16string_view text, std::u32string& characters)
{
    for (std::size_t index = 0; index < text.size(); ++index) {
        const char16_t unit = text[index];
        if (IsHighSurrogate(unit) && index + 1 < text.size() && IsLowSurrogate(text[index + 1])) {
            characters.push_back(0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[index + 1]) - 0xDC00));
            ++index;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            characters.push_back(Replacement);
        } else {
            characters.push_back(unit);
        }
    }
}

bool HasOwnKey(const KeyboardSnapshot& keyboard, char32_t character)
{
    return character == Tab || character == Enter || keyboard.characters.contains(character);
}
} // namespace

KeyTyper::KeyTyper(IKeySender& sender)
    : sender(sender)
{}

void KeyTyper::SwitchWindowByKeys(ReturnWay way)
{
    const KeyboardSnapshot keyboard = sender.ReadKeyboard();
    ReleaseHeldModifiers(keyboard);
    sender.PressKey(keyboard.altKey);
    if (way == ReturnWay::AltTab) {
        sender.PressKey(keyboard.tabKey);
        sender.Wait(10ms);
        sender.ReleaseKey(keyboard.altKey);
        sender.ReleaseKey(keyboard.tabKey);
    } else {
        sender.PressKey(keyboard.escapeKey);
        sender.Wait(5ms);
        sender.ReleaseKey(keyboard.escapeKey);
        sender.ReleaseKey(keyboard.altKey);
    }
    sender.Wait(100ms);
}

void KeyTyper::Type(const std::vector<std::u16string_view>& pieces)
{
    std::size_t length = 0;
    for (const auto piece : pieces) {
        length += piece.size();
    }
    // Reserved in one go, so that no copy of the secret is left behind by a reallocation.
    std::u32string characters;
    characters.reserve(length);
    for (const auto piece : pieces) {
        AppendCharacters(piece, characters);
    }

    // Read after the switch: the layout may follow the window that has the focus.
    const KeyboardSnapshot keyboard = sender.ReadKeyboard();
    ReleaseHeldModifiers(keyboard);
    if (keyboard.lockedModifiers != 0) {
        sender.SetLockedModifiers(0);
    }
    TypeCharacters(keyboard, characters);
    if (keyboard.lockedModifiers != 0) {
        sender.SetLockedModifiers(keyboard.lockedModifiers);
    }
    explicit_bzero(characters.data(), characters.capacity() * sizeof(char32_t));
}

void KeyTyper::ReleaseHeldModifiers(const KeyboardSnapshot& keyboard)
{
    for (const KeyNumber key : keyboard.heldModifiers) {
        sender.ReleaseKey(key);
    }
}

void KeyTyper::TypeCharacters(const KeyboardSnapshot& keyboard, const std::u32string& characters)
{
    // Characters without a key of their own borrow the spare keys, as many at a time as there are spare keys, so
    // that a password needs one change of the mapping and one wait, not one per character.
    std::size_t position = 0;
    while (position < characters.size()) {
        std::u32string borrowedCharacters;
        std::vector<KeyNumber> borrowed;
        std::size_t end = position;
        for (; end < characters.size(); ++end) {
            const char32_t character = characters[end];
            if (HasOwnKey(keyboard, character) || borrowedCharacters.find(character) != std::u32string::npos) {
                continue;
            }
            if (borrowed.size() == keyboard.spareKeys.size()) {
                break;
            }
            borrowed.push_back(keyboard.spareKeys[borrowed.size()]);
            borrowedCharacters.push_back(character);
            sender.MapSpareKey(borrowed.back(), character);
        }
        if (end == position) {
            // No spare key at all: this character cannot be typed.
            ++position;
            continue;
        }
        for (; position < end; ++position) {
            TypeCharacter(keyboard, characters[position], borrowed, borrowedCharacters);
        }
        if (!borrowed.empty()) {
            sender.Wait(BorrowedKeySettleTime);
            for (const KeyNumber key : borrowed) {
                sender.RestoreKey(key);
            }
        }
        explicit_bzero(borrowedCharacters.data(), borrowedCharacters.size() * sizeof(char32_t));
    }
}

void KeyTyper::TypeCharacter(const KeyboardSnapshot& keyboard, char32_t character,
                             const std::vector<KeyNumber>& borrowed, const std::u32string& borrowedCharacters)
{
    if (character == Tab) {
        Tap(keyboard.tabKey);
        return;
    }
    if (character == Enter) {
        Tap(keyboard.enterKey);
        return;
    }
    if (const auto found = keyboard.characters.find(character); found != keyboard.characters.end()) {
        const KeyChoice& choice = found->second;
        if (choice.shift) {
            sender.PressKey(keyboard.shiftKey);
        }
        if (choice.altGr) {
            sender.PressKey(keyboard.altGrKey);
        }
        Tap(choice.key);
        if (choice.shift) {
            sender.ReleaseKey(keyboard.shiftKey);
        }
        if (choice.altGr) {
            sender.ReleaseKey(keyboard.altGrKey);
        }
        return;
    }
    Tap(borrowed[borrowedCharacters.find(character)]);
}

void KeyTyper::Tap(KeyNumber key)
{
    sender.PressKey(key);
    sender.ReleaseKey(key);
}
