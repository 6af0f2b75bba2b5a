#include "core/importexport/NoteLines.h"

void UseNotesLineBreaks(SecureString& text)
{
    bool loneLineFeed = false;
    for (std::size_t i = 0; i < text.size() && !loneLineFeed; ++i) {
        loneLineFeed = text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r');
    }
    if (!loneLineFeed) {
        return;
    }
    SecureString result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) {
            result.push_back(u'\r');
        }
        result.push_back(text[i]);
    }
    text.swap(result);
}

void AppendNoteLine(SecureString& notes, std::u16string_view label, SecureString& value)
{
    UseNotesLineBreaks(value);
    AppendNoteLineAsIs(notes, label, value);
}

void AppendNoteLineAsIs(SecureString& notes, std::u16string_view label, std::u16string_view value)
{
    if (!notes.empty()) {
        notes.append(u"\r\n");
    }
    notes.append(label);
    notes.append(u": ");
    notes.append(value);
}
