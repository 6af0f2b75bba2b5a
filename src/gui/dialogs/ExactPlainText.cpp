#include "gui/dialogs/ExactPlainText.h"

#include <QPlainTextEdit>
#include <QTextDocument>
#include <algorithm>

#include "gui/common/SecureText.h"

namespace {
// What the document keeps in place of every line break of the text it was given.
constexpr char16_t BlockSeparator = u'\u2029';
// The frame marks a document also takes for the end of a block.
constexpr char16_t FrameStart = u'\ufdd0';
constexpr char16_t FrameEnd = u'\ufdd1';

// How many units of `text` from `at` on the document made one block separator of; 0 when none.
std::size_t SeparatorLength(const SecureString& text, std::size_t at)
{
    const char16_t unit = text[at];
    if (unit == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n') {
        return 2;
    }
    const bool separator =
        unit == u'\r' || unit == u'\n' || unit == BlockSeparator || unit == FrameStart || unit == FrameEnd;
    return separator ? 1 : 0;
}

std::u16string FirstLineBreak(const SecureString& text)
{
    const std::size_t at = text.find_first_of(u"\r\n");
    if (at == SecureString::npos) {
        return u"\n";
    }
    return std::u16string(text.data() + at, SeparatorLength(text, at));
}
} // namespace

ExactPlainText::~ExactPlainText()
{
    WipeString(shown);
    WipeQString(shownRaw);
}

void ExactPlainText::Show(QPlainTextEdit& edit, const SecureString& text)
{
    WipeString(shown);
    WipeQString(shownRaw);
    shown = text;
    edit.setPlainText(ToQString(text));
    shownRaw = edit.document()->toRawText();
    lineBreak = FirstLineBreak(shown);
    MatchShownUnits();
}

void ExactPlainText::MatchShownUnits()
{
    shownOffsets.clear();
    std::size_t at = 0;
    for (const QChar unit : shownRaw) {
        shownOffsets.push_back(at);
        if (at < shown.size() && shown[at] == unit.unicode()) {
            ++at;
        } else if (const std::size_t length = at < shown.size() ? SeparatorLength(shown, at) : 0;
                   unit == BlockSeparator && length > 0) {
            at += length;
        } else {
            shownOffsets.clear();
            return;
        }
    }
    shownOffsets.push_back(at);
    if (at != shown.size()) {
        shownOffsets.clear();
    }
}

SecureString ExactPlainText::Converted(QStringView raw) const
{
    SecureString text;
    text.reserve(static_cast<std::size_t>(raw.size()));
    for (const QChar unit : raw) {
        if (unit == BlockSeparator) {
            text.append(lineBreak);
        } else {
            text.push_back(unit.unicode());
        }
    }
    return text;
}

SecureString ExactPlainText::From(const QPlainTextEdit& edit) const
{
    QString raw = edit.document()->toRawText();
    if (raw == shownRaw) {
        WipeQString(raw);
        return shown;
    }
    if (shownOffsets.empty()) {
        SecureString text = Converted(raw);
        WipeQString(raw);
        return text;
    }
    // The units the user left alone at both ends, at most all of the shorter text.
    const auto shownSize = static_cast<std::size_t>(shownRaw.size());
    const auto size = static_cast<std::size_t>(raw.size());
    const std::size_t prefix = static_cast<std::size_t>(
        std::mismatch(raw.cbegin(), raw.cend(), shownRaw.cbegin(), shownRaw.cend()).first - raw.cbegin());
    std::size_t suffix = 0;
    while (suffix < std::min(shownSize, size) - prefix && raw[size - 1 - suffix] == shownRaw[shownSize - 1 - suffix]) {
        ++suffix;
    }
    SecureString text(shown.data(), shownOffsets[prefix]);
    text.append(Converted(
        QStringView(raw).mid(static_cast<qsizetype>(prefix), static_cast<qsizetype>(size - suffix - prefix))));
    const std::size_t keptEnd = shownOffsets[shownSize - suffix];
    text.append(shown.data() + keptEnd, shown.size() - keptEnd);
    WipeQString(raw);
    return text;
}
