#pragma once

#include <string_view>

#include "core/common/SecureString.h"

// How an import keeps what has no field of its own: labelled lines in the notes, with the notes' own line breaks.

// Line breaks as the notes field holds them: carriage return and line feed.
void UseNotesLineBreaks(SecureString& text);

// Appends "label: value" on a line of its own; the value's line breaks become the notes' own.
void AppendNoteLine(SecureString& notes, std::u16string_view label, SecureString& value);
// The same for a value whose line breaks are the notes' own already.
void AppendNoteLineAsIs(SecureString& notes, std::u16string_view label, std::u16string_view value);
