#pragma once

#include <QFont>
#include <QTextOption>
#include <string_view>
#include <vector>

#include "core/importexport/PageSplit.h"

class QPainter;
class QPaintDevice;
class QPoint;
class QString;
class QTextLayout;

// Lays the printed text out in the device's pixels, for measuring and for drawing alike: lines end at each line
// break (CR LF, LF or CR) and wrap at word boundaries within the given width, a word too long for a line breaks
// anywhere, tabs are expanded, "&" is an ordinary character, and every line is as high as the font's line spacing.
// A line break at the very end opens no new line.
class PrintLayout : public IPrintMeasurer
{
public:
    // `text` must outlive the layout.
    PrintLayout(std::u16string_view text, const QFont& font, QPaintDevice& device, int width);

    int Height(std::size_t start, std::size_t count, int enough) override;
    void Draw(QPainter& painter, const QPoint& topLeft, std::size_t start, std::size_t count);

    int LineSpacing() const { return lineSpacing; }

private:
    // The text between two line breaks: [begin, end), and where the next one begins.
    struct Paragraph
    {
        std::size_t begin;
        std::size_t end;
        std::size_t next;
    };
    static constexpr std::size_t Partial = static_cast<std::size_t>(-1);

    // Calls onPiece(begin, end, paragraph) for each stretch of [start, start + count) between line breaks, with
    // the paragraph's index when the stretch is the whole paragraph and Partial otherwise; stops when onPiece
    // returns false.
    template <class OnPiece> void ForEachPiece(std::size_t start, std::size_t count, OnPiece&& onPiece) const;
    int LineCount(std::size_t begin, std::size_t end);
    // Breaks the laid-out text into lines, placed from `firstLine` on; returns their number, at least one.
    int MakeLines(QTextLayout& layout, int firstLine) const;
    QString Piece(std::size_t begin, std::size_t end) const;

    std::u16string_view text;
    QFont font;
    QPaintDevice& device;
    int width;
    int lineSpacing;
    QTextOption option;
    std::vector<Paragraph> paragraphs;
    // Line counts of whole paragraphs, measured once: every page measures the same paragraphs many times.
    std::vector<int> lineCounts;
    struct MeasuredPiece
    {
        std::size_t begin = Partial;
        std::size_t end = Partial;
        int lines = 0;
    };
    MeasuredPiece firstPiece;
};
