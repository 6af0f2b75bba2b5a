#pragma once

#include <QString>
#include <string>
#include <vector>

#include "core/common/SecureString.h"

class QPlainTextEdit;

// Keeps a text exactly through a plain-text edit. The edit's document keeps every character but the line breaks,
// which CR LF, CR, LF and U+2029 alike become, and its plain text turns no-break spaces and U+2028 into spaces and
// line feeds. So the text is read from the document's raw text instead, and what the user left alone at its start
// and end comes back exactly as shown, line breaks included; line breaks made in between are those the text shown
// uses (its first one; a line feed when it has none).
class ExactPlainText
{
public:
    ExactPlainText() = default;
    ~ExactPlainText();
    ExactPlainText(const ExactPlainText&) = delete;
    ExactPlainText& operator=(const ExactPlainText&) = delete;

    // Shows the text in the edit and remembers it.
    void Show(QPlainTextEdit& edit, const SecureString& text);
    // What the edit holds now.
    SecureString From(const QPlainTextEdit& edit) const;

private:
    // Where each unit of the document's raw text starts in the text shown; empty when the two cannot be matched.
    void MatchShownUnits();
    SecureString Converted(QStringView raw) const;

    SecureString shown;
    QString shownRaw;
    std::vector<std::size_t> shownOffsets;
    std::u16string lineBreak = u"\n";
};
