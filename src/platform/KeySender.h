#pragma once

#include <chrono>
#include <map>
#include <vector>

// A key as the window system numbers it.
using KeyNumber = unsigned;

// How the active layout reaches one character: its key and the modifiers of the key's level.
struct KeyChoice
{
    KeyNumber key = 0;
    bool shift = false;
    bool altGr = false;

    friend bool operator==(const KeyChoice&, const KeyChoice&) = default;
};

// What typing needs to know of the keyboard at the moment it starts.
struct KeyboardSnapshot
{
    // The characters of the active layout group, as they arrive with no lock on.
    std::map<char32_t, KeyChoice> characters;
    KeyNumber shiftKey = 0;
    // 0 when the layout has no third level.
    KeyNumber altGrKey = 0;
    KeyNumber altKey = 0;
    KeyNumber tabKey = 0;
    KeyNumber enterKey = 0;
    KeyNumber escapeKey = 0;
    // Keys without any symbol, which may carry a character the layout lacks for a moment.
    std::vector<KeyNumber> spareKeys;
    // Modifier keys that are down right now, for example those of the hot key that started the command.
    std::vector<KeyNumber> heldModifiers;
    // The locked modifiers (Caps Lock, Num Lock, ...) as the window system's mask.
    unsigned lockedModifiers = 0;
};

// Injects key events into the window that has the keyboard focus.
class IKeySender
{
public:
    virtual ~IKeySender() = default;

    virtual KeyboardSnapshot ReadKeyboard() = 0;
    virtual void PressKey(KeyNumber key) = 0;
    virtual void ReleaseKey(KeyNumber key) = 0;
    // Makes a spare key type the character until RestoreKey gives it back its own symbols.
    virtual void MapSpareKey(KeyNumber key, char32_t character) = 0;
    virtual void RestoreKey(KeyNumber key) = 0;
    virtual void SetLockedModifiers(unsigned mask) = 0;
    // Lets the events sent so far reach their window before the next ones.
    virtual void Wait(std::chrono::milliseconds time) = 0;
};
