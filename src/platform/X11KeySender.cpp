#include "platform/X11KeySender.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <xkbcommon/xkbcommon.h>

#include <array>
#include <cstdlib>
#include <thread>

namespace {
// The four levels a key can be typed on: plain, Shift, AltGr, Shift+AltGr. Earlier ones are preferred.
constexpr std::array<std::pair<bool, bool>, 4> Levels = {{{false, false}, {true, false}, {false, true}, {true, true}}};

// The group of the key that the active group selects, by the key's rule for groups it does not have.
int EffectiveGroup(XkbDescPtr keyboard, KeyCode key, int activeGroup)
{
    const int groups = XkbKeyNumGroups(keyboard, key);
    if (activeGroup < groups) {
        return activeGroup;
    }
    const unsigned char info = XkbKeyGroupInfo(keyboard, key);
    switch (XkbOutOfRangeGroupAction(info)) {
    case XkbClampIntoRange:
        return groups - 1;
    case XkbRedirectIntoRange: {
        const int redirected = XkbOutOfRangeGroupNumber(info);
        return redirected < groups ? redirected : 0;
    }
    default:
        return activeGroup % groups;
    }
}

// The level the modifiers select on the key's type, as the server computes it.
int LevelFor(const XkbKeyTypeRec& type, unsigned modifiers)
{
    const unsigned relevant = modifiers & type.mods.mask;
    for (int index = 0; index < type.map_count; ++index) {
        const XkbKTMapEntryRec& entry = type.map[index];
        if (entry.active && entry.mods.mask == relevant) {
            return entry.level;
        }
    }
    return 0;
}

KeyCode FindKey(XkbDescPtr keyboard, int activeGroup, KeySym wanted)
{
    for (int key = keyboard->min_key_code; key <= keyboard->max_key_code; ++key) {
        if (XkbKeyNumGroups(keyboard, key) == 0) {
            continue;
        }
        if (XkbKeySymEntry(keyboard, key, 0, EffectiveGroup(keyboard, key, activeGroup)) == wanted) {
            return static_cast<KeyCode>(key);
        }
    }
    return 0;
}

void AddCharacters(XkbDescPtr keyboard, int activeGroup, unsigned altGrModifiers, KeyboardSnapshot& snapshot)
{
    for (const auto& [shift, altGr] : Levels) {
        if (altGr && altGrModifiers == 0) {
            continue;
        }
        const unsigned modifiers = (shift ? ShiftMask : 0) | (altGr ? altGrModifiers : 0);
        for (int key = keyboard->min_key_code; key <= keyboard->max_key_code; ++key) {
            if (XkbKeyNumGroups(keyboard, key) == 0) {
                continue;
            }
            const int group = EffectiveGroup(keyboard, key, activeGroup);
            const XkbKeyTypeRec* type = XkbKeyKeyType(keyboard, key, group);
            const int level = LevelFor(*type, modifiers);
            if (level >= type->num_levels) {
                continue;
            }
            const KeySym symbol = XkbKeySymEntry(keyboard, key, level, group);
            // Keypad keys change with Num Lock, and dead keys type nothing on their own.
            if (symbol == NoSymbol || IsKeypadKey(symbol)) {
                continue;
            }
            if (const char32_t character = xkb_keysym_to_utf32(symbol); character != 0) {
                snapshot.characters.try_emplace(character, KeyChoice{static_cast<KeyNumber>(key), shift, altGr});
            }
        }
    }
}

// A layout without some key reports it as 0; sending that would be a protocol error, which ends the program.
bool IsKeyCode(KeyNumber key)
{
    return key >= 8 && key <= 255;
}

void AddHeldModifiers(_XDisplay* display, XkbDescPtr keyboard, KeyboardSnapshot& snapshot)
{
    std::array<char, 32> pressed{};
    XQueryKeymap(display, pressed.data());
    for (int key = keyboard->min_key_code; key <= keyboard->max_key_code; ++key) {
        const bool down = (pressed[static_cast<std::size_t>(key) / 8] >> (key % 8)) & 1;
        if (down && keyboard->map->modmap[key] != 0) {
            snapshot.heldModifiers.push_back(static_cast<KeyNumber>(key));
        }
    }
}
} // namespace

std::unique_ptr<X11KeySender> X11KeySender::Open()
{
    if (!std::getenv("DISPLAY")) {
        return nullptr;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        return nullptr;
    }
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    int opcode = 0;
    int xkbMajor = XkbMajorVersion;
    int xkbMinor = XkbMinorVersion;
    if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor) ||
        !XkbQueryExtension(display, &opcode, &eventBase, &errorBase, &xkbMajor, &xkbMinor)) {
        XCloseDisplay(display);
        return nullptr;
    }
    return std::unique_ptr<X11KeySender>(new X11KeySender(display));
}

X11KeySender::X11KeySender(_XDisplay* display)
    : display(display)
{}

X11KeySender::~X11KeySender()
{
    // A borrowed key must not keep its character when typing was cut short.
    while (!ownSymbols.empty()) {
        RestoreKey(ownSymbols.begin()->first);
    }
    XCloseDisplay(display);
}

KeyboardSnapshot X11KeySender::ReadKeyboard()
{
    KeyboardSnapshot snapshot;
    XkbStateRec state{};
    XkbGetState(display, XkbUseCoreKbd, &state);
    snapshot.lockedModifiers = state.locked_mods;
    XkbDescPtr keyboard = XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask | XkbModifierMapMask, XkbUseCoreKbd);
    if (!keyboard) {
        return snapshot;
    }
    const int group = state.group;
    snapshot.shiftKey = FindKey(keyboard, group, XK_Shift_L);
    snapshot.altGrKey = FindKey(keyboard, group, XK_ISO_Level3_Shift);
    snapshot.altKey = FindKey(keyboard, group, XK_Alt_L);
    snapshot.tabKey = FindKey(keyboard, group, XK_Tab);
    snapshot.enterKey = FindKey(keyboard, group, XK_Return);
    snapshot.escapeKey = FindKey(keyboard, group, XK_Escape);
    const unsigned altGrModifiers = snapshot.altGrKey ? keyboard->map->modmap[snapshot.altGrKey] : 0;
    if (altGrModifiers == 0) {
        snapshot.altGrKey = 0;
    }
    AddCharacters(keyboard, group, altGrModifiers, snapshot);
    for (int key = keyboard->min_key_code; key <= keyboard->max_key_code; ++key) {
        if (XkbKeyNumGroups(keyboard, key) == 0 && !ownSymbols.contains(static_cast<KeyNumber>(key))) {
            snapshot.spareKeys.push_back(static_cast<KeyNumber>(key));
        }
    }
    AddHeldModifiers(display, keyboard, snapshot);
    XkbFreeKeyboard(keyboard, 0, True);
    return snapshot;
}

void X11KeySender::PressKey(KeyNumber key)
{
    if (!IsKeyCode(key)) {
        return;
    }
    XTestFakeKeyEvent(display, key, True, CurrentTime);
    XFlush(display);
}

void X11KeySender::ReleaseKey(KeyNumber key)
{
    if (!IsKeyCode(key)) {
        return;
    }
    XTestFakeKeyEvent(display, key, False, CurrentTime);
    XFlush(display);
}

void X11KeySender::MapSpareKey(KeyNumber key, char32_t character)
{
    if (!ownSymbols.contains(key)) {
        int perKey = 0;
        KeySym* symbols = XGetKeyboardMapping(display, static_cast<KeyCode>(key), 1, &perKey);
        ownSymbols[key] = std::vector<unsigned long>(symbols, symbols + perKey);
        XFree(symbols);
    }
    // The same symbol with and without Shift, so that nothing the user holds or locks changes it.
    std::array<KeySym, 2> symbols{xkb_utf32_to_keysym(character), xkb_utf32_to_keysym(character)};
    XChangeKeyboardMapping(display, static_cast<int>(key), 2, symbols.data(), 1);
    XSync(display, False);
}

void X11KeySender::RestoreKey(KeyNumber key)
{
    const auto found = ownSymbols.find(key);
    if (found == ownSymbols.end()) {
        return;
    }
    std::vector<KeySym> symbols(found->second.begin(), found->second.end());
    if (symbols.empty()) {
        symbols.push_back(NoSymbol);
    }
    XChangeKeyboardMapping(display, static_cast<int>(key), static_cast<int>(symbols.size()), symbols.data(), 1);
    XSync(display, False);
    ownSymbols.erase(found);
}

void X11KeySender::SetLockedModifiers(unsigned mask)
{
    XkbLockModifiers(display, XkbUseCoreKbd, 0xFF, mask);
    XSync(display, False);
}

void X11KeySender::Wait(std::chrono::milliseconds time)
{
    XSync(display, False);
    std::this_thread::sleep_for(time);
}
