#pragma once

#include <cstddef>
#include <vector>

// Lays out pieces of the text to be printed at the print area's width and tells their height in device pixels.
class IPrintMeasurer
{
public:
    virtual ~IPrintMeasurer() = default;
    // The height of the `count` characters from `start`. Once the height reaches `enough` the measurer may stop
    // laying out and return any height not less than `enough`.
    virtual int Height(std::size_t start, std::size_t count, int enough) = 0;
};

// The print area runs from (PrintMargin, PrintMargin) to (width - PrintMargin, height - PrintBottomMargin).
inline constexpr int PrintMargin = 500;
inline constexpr int PrintBottomMargin = 1000;

// How many of the `remaining` characters from `start` the next page takes, on a device `deviceHeight` pixels high.
// A bisection over the count finds the longest piece whose height stays below (deviceHeight - 1000); when the
// piece measured last reaches the print area's bottom edge, its last character moves on to the next page. A page
// takes at least one character, so that printing always ends.
std::size_t NextPageShare(std::size_t start, std::size_t remaining, int deviceHeight, IPrintMeasurer& measurer);

// The number of characters on each page of a text of `length` characters; none for an empty text.
std::vector<std::size_t> SplitIntoPages(std::size_t length, int deviceHeight, IPrintMeasurer& measurer);
