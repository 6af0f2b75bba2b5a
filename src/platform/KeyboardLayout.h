#pragma once

#include <string>

// The short upper-case name of the active keyboard layout ("US", "DE"), for the layout indicators. Empty when it
// cannot be told, for example without an X display; callers then keep what they showed before.
std::string ActiveKeyboardLayoutName();

// The layout's short name from the XKB symbols description (for example "pc+us+de:2+inet(evdev)") and the active
// group, counted from 0. Empty when the description names no layout for that group.
std::string LayoutNameFromSymbols(const std::string& symbols, int group);
