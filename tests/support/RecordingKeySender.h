#pragma once

#include <string>
#include <vector>

#include "platform/KeySender.h"

// Records every key event it is asked to send, as text ("+50" press, "-50" release, "map 200 U+0416",
// "restore 200", "lock 2", "wait 50"), and answers with the keyboard the test sets up.
class RecordingKeySender : public IKeySender
{
public:
    KeyboardSnapshot ReadKeyboard() override { return keyboard; }
    void PressKey(KeyNumber key) override { events.push_back("+" + std::to_string(key)); }
    void ReleaseKey(KeyNumber key) override { events.push_back("-" + std::to_string(key)); }
    void MapSpareKey(KeyNumber key, char32_t character) override;
    void RestoreKey(KeyNumber key) override { events.push_back("restore " + std::to_string(key)); }
    void SetLockedModifiers(unsigned mask) override { events.push_back("lock " + std::to_string(mask)); }
    void Wait(std::chrono::milliseconds time) override { events.push_back("wait " + std::to_string(time.count())); }

    KeyboardSnapshot keyboard;
    std::vector<std::string> events;
};

// Key numbers of the test layouts.
namespace TestKeys {
inline constexpr KeyNumber Shift = 50;
inline constexpr KeyNumber AltGr = 108;
inline constexpr KeyNumber Alt = 64;
inline constexpr KeyNumber Control = 37;
inline constexpr KeyNumber Tab = 23;
inline constexpr KeyNumber Enter = 36;
inline constexpr KeyNumber Escape = 9;
inline constexpr KeyNumber Two = 11;
inline constexpr KeyNumber Q = 24;
inline constexpr KeyNumber E = 26;
inline constexpr KeyNumber FirstSpare = 200;
// The key of a small letter in both test layouts.
KeyNumber Letter(char letter);
} // namespace TestKeys

// A US layout: letters on their keys, capitals with Shift, "@" on Shift+2; two spare keys.
KeyboardSnapshot UsKeyboard();
// A German layout: as the US one, but "@" on AltGr+Q, "€" on AltGr+E, "ä" and "ö" on their own keys.
KeyboardSnapshot GermanKeyboard();
