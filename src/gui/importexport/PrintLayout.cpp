#include "gui/importexport/PrintLayout.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>

#include "gui/common/SecureText.h"

namespace {
constexpr int TabStopCharacters = 8;
} // namespace

PrintLayout::PrintLayout(std::u16string_view text, const QFont& font, QPaintDevice& device, int width)
    : text(text)
    , font(font)
    , device(device)
    , width(width)
    , lineSpacing(QFontMetrics(font, &device).lineSpacing())
{
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(TabStopCharacters * QFontMetricsF(font, &device).averageCharWidth());
    std::size_t begin = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n') {
            continue;
        }
        const std::size_t next = text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n' ? i + 2 : i + 1;
        paragraphs.push_back({begin, i, next});
        begin = next;
        i = next - 1;
    }
    if (begin < text.size()) {
        paragraphs.push_back({begin, text.size(), text.size()});
    }
    lineCounts.assign(paragraphs.size(), 0);
}

template <class OnPiece> void PrintLayout::ForEachPiece(std::size_t start, std::size_t count, OnPiece&& onPiece) const
{
    const std::size_t stop = start + count;
    auto paragraph = std::upper_bound(paragraphs.begin(), paragraphs.end(), start,
                                      [](std::size_t position, const Paragraph& p) { return position < p.begin; });
    --paragraph;
    for (std::size_t position = start; position < stop && paragraph != paragraphs.end(); ++paragraph) {
        // A piece that starts inside a line break (between CR and LF) is an empty line of its own.
        const std::size_t begin = std::min(position, paragraph->end);
        const std::size_t end = std::min(paragraph->end, stop);
        const bool whole = position == paragraph->begin && paragraph->end <= stop;
        const auto index = static_cast<std::size_t>(paragraph - paragraphs.begin());
        if (!onPiece(begin, end, whole ? index : Partial)) {
            return;
        }
        position = paragraph->next;
    }
}

QString PrintLayout::Piece(std::size_t begin, std::size_t end) const
{
    return QStringOfUnits(text.data() + begin, end - begin);
}

int PrintLayout::MakeLines(QTextLayout& layout, int firstLine) const
{
    layout.setTextOption(option);
    layout.beginLayout();
    int lines = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, static_cast<qreal>(firstLine + lines) * lineSpacing));
        ++lines;
    }
    layout.endLayout();
    return std::max(lines, 1);
}

int PrintLayout::LineCount(std::size_t begin, std::size_t end)
{
    if (begin == end) {
        return 1;
    }
    QString piece = Piece(begin, end);
    int lines = 0;
    {
        QTextLayout layout(piece, font, &device);
        lines = MakeLines(layout, 0);
    }
    WipeQString(piece);
    return lines;
}

int PrintLayout::Height(std::size_t start, std::size_t count, int enough)
{
    int lines = 0;
    ForEachPiece(start, count, [&](std::size_t begin, std::size_t end, std::size_t paragraph) {
        if (paragraph == Partial) {
            // Every measurement of a page starts with the same piece when the page starts inside a line.
            if (begin != firstPiece.begin || end != firstPiece.end) {
                const int pieceLines = LineCount(begin, end);
                if (begin == start) {
                    firstPiece = {begin, end, pieceLines};
                }
                lines += pieceLines;
            } else {
                lines += firstPiece.lines;
            }
        } else {
            if (lineCounts[paragraph] == 0) {
                lineCounts[paragraph] = LineCount(begin, end);
            }
            lines += lineCounts[paragraph];
        }
        return lines * lineSpacing < enough;
    });
    return lines * lineSpacing;
}

void PrintLayout::Draw(QPainter& painter, const QPoint& topLeft, std::size_t start, std::size_t count)
{
    int lines = 0;
    ForEachPiece(start, count, [&](std::size_t begin, std::size_t end, std::size_t) {
        QString piece = Piece(begin, end);
        {
            QTextLayout layout(piece, font, &device);
            lines += MakeLines(layout, lines);
            layout.draw(&painter, topLeft);
        }
        WipeQString(piece);
        return true;
    });
}
