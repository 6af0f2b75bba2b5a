#pragma once

#include <QStringList>
#include <filesystem>
#include <optional>
#include <string>

// The command line as one text after the program name: the arguments joined by single blanks.
std::u16string CommandLineText(const QStringList& arguments);

// True only for the exact switch "-hide": no other text, case or prefix character is recognised.
bool IsStartHiddenSwitch(const std::u16string& commandLine);

// The database file named on the command line: the first argument that is no switch (after "--", the first
// argument), made absolute against the current folder, since the running copy that may open it has a folder of its
// own. None when no file is named.
std::optional<std::filesystem::path> DatabaseFileArgument(const QStringList& arguments);
