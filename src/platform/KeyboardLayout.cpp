#include "platform/KeyboardLayout.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XKBstr.h>

#include <cctype>
#include <cstdlib>
#include <set>
#include <sstream>

namespace {
// Parts of the symbols description that are not layouts.
const std::set<std::string> NonLayoutSymbols = {"pc",     "inet",     "group",    "compose",   "level3",
                                                "level5", "ctrl",     "altwin",   "terminate", "eurosign",
                                                "keypad", "capslock", "srvr_ctrl"};

// One connection for the life of the process: the indicators ask twice a second.
Display* SharedDisplay()
{
    static Display* display = std::getenv("DISPLAY") ? XOpenDisplay(nullptr) : nullptr;
    return display;
}
} // namespace

std::string LayoutNameFromSymbols(const std::string& symbols, int group)
{
    std::istringstream parts(symbols);
    std::string part;
    int layoutIndex = 0;
    while (std::getline(parts, part, '+')) {
        int partGroup = layoutIndex;
        if (const auto colon = part.find(':'); colon != std::string::npos) {
            partGroup = std::atoi(part.c_str() + colon + 1) - 1;
            part.erase(colon);
        }
        if (const auto variant = part.find('('); variant != std::string::npos) {
            part.erase(variant);
        }
        if (part.empty() || NonLayoutSymbols.contains(part)) {
            continue;
        }
        if (partGroup == group) {
            std::string name = part.substr(0, 2);
            for (auto& character : name) {
                character = static_cast<char>(std::toupper(static_cast<unsigned char>(character)));
            }
            return name;
        }
        ++layoutIndex;
    }
    return {};
}

std::string ActiveKeyboardLayoutName()
{
    Display* display = SharedDisplay();
    if (!display) {
        return {};
    }
    XkbStateRec state{};
    if (XkbGetState(display, XkbUseCoreKbd, &state) != Success) {
        return {};
    }
    XkbDescPtr keyboard = XkbAllocKeyboard();
    if (!keyboard) {
        return {};
    }
    std::string name;
    if (XkbGetNames(display, XkbSymbolsNameMask, keyboard) == Success && keyboard->names &&
        keyboard->names->symbols != None) {
        if (char* symbols = XGetAtomName(display, keyboard->names->symbols)) {
            name = LayoutNameFromSymbols(symbols, state.group);
            XFree(symbols);
        }
    }
    XkbFreeKeyboard(keyboard, 0, True);
    return name;
}
