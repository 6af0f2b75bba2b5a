#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/importexport/PageSplit.h"

namespace {
constexpr int LineHeight = 100;
constexpr std::size_t LineWidth = 10;
// Limit 800 pixels; a piece 300 pixels high or more reaches the print area's bottom edge.
constexpr int DeviceHeight = 1800;

// Lays text out in lines of ten characters, breaking at line feeds; a line feed at the end opens no new line.
class MonospaceMeasurer : public IPrintMeasurer
{
public:
    explicit MonospaceMeasurer(std::string text)
        : text(std::move(text))
    {}

    int Height(std::size_t start, std::size_t count, int) override
    {
        ++measurements;
        const std::string piece = text.substr(start, count);
        int lines = 0;
        for (std::size_t lineStart = 0;;) {
            const std::size_t end = piece.find('\n', lineStart);
            const std::size_t length = (end == std::string::npos ? piece.size() : end) - lineStart;
            if (end == std::string::npos && length == 0 && lineStart > 0) {
                break;
            }
            lines += static_cast<int>(std::max<std::size_t>(1, (length + LineWidth - 1) / LineWidth));
            if (end == std::string::npos) {
                break;
            }
            lineStart = end + 1;
        }
        return lines * LineHeight;
    }

    std::string text;
    int measurements = 0;
};

std::string Repeat(const std::string& piece, int times)
{
    std::string result;
    for (int i = 0; i < times; ++i) {
        result += piece;
    }
    return result;
}

struct SplitCase
{
    const char* name;
    std::string text;
    std::vector<std::size_t> pages;
    int measurements; // over all pages; 0: not checked
};

TEST(PageSplitTest, PagesFollowTheBisectionTheLimitAndTheOneCharacterReduction)
{
    const std::string words = Repeat("lorem ipsum dolor sit amet ", 4).substr(0, 100);
    const SplitCase cases[] = {
        // Two lines, 200 pixels: all of it fits at the first measurement and stays clear of the bottom edge.
        {"one page", "abcdefghi\nabcdefghi\n", {20}, 1},
        // Seven lines fit; the bottom edge takes one character more, so the page ends inside "dolor".
        {"word cut by the page boundary", words, {69, 30, 1}, 0},
        // Eight lines are exactly 800 pixels, the limit: they do not fit, so the eighth line goes on.
        {"height exactly at the limit", Repeat("abcdefghi\n", 8), {70, 10}, 0},
        // Three lines fit but reach the bottom edge: the final line feed alone makes a second page.
        {"fits but reaches the bottom edge", Repeat("abcdefghi\n", 3), {29, 1}, 2},
        {"empty text", "", {}, 0},
    };
    for (const SplitCase& test : cases) {
        SCOPED_TRACE(test.name);
        MonospaceMeasurer measurer(test.text);
        const std::vector<std::size_t> pages = SplitIntoPages(test.text.size(), DeviceHeight, measurer);
        EXPECT_EQ(pages, test.pages);
        if (test.measurements > 0) {
            EXPECT_EQ(measurer.measurements, test.measurements);
        }
    }
    // The boundary of the word case falls between two letters of "dolor".
    EXPECT_EQ(words.substr(66, 5), "dolor");
}

TEST(PageSplitTest, APageTooSmallForOneLineStillTakesOneCharacter)
{
    MonospaceMeasurer measurer("abc");
    EXPECT_EQ(SplitIntoPages(3, PrintBottomMargin + LineHeight, measurer), (std::vector<std::size_t>{1, 1, 1}));
}
} // namespace
