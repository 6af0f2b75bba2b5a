#pragma once

#include <QStringList>
#include <string>

// The command line as one text after the program name: the arguments joined by single blanks.
std::u16string CommandLineText(const QStringList& arguments);

// True only for the exact switch "-hide": no other text, case or prefix character is recognised.
bool IsStartHiddenSwitch(const std::u16string& commandLine);
