#include "core/importexport/PageSplit.h"

#include <algorithm>

std::size_t NextPageShare(std::size_t start, std::size_t remaining, int deviceHeight, IPrintMeasurer& measurer)
{
    const int limit = deviceHeight - PrintBottomMargin;
    std::size_t fitting = 0;
    std::size_t notFitting = remaining;
    std::size_t share = remaining;
    int height = measurer.Height(start, share, limit);
    if (height < limit) {
        fitting = share;
    }
    while (fitting + 1 < notFitting) {
        share = fitting + (notFitting - fitting) / 2;
        height = measurer.Height(start, share, limit);
        if (height < limit) {
            fitting = share;
        } else {
            notFitting = share;
        }
    }
    // The count measured last may be the one that did not fit, which gives back its last character here; one that
    // fits but reaches the area's bottom edge gives back its last character as well.
    if (PrintMargin + height >= deviceHeight - PrintBottomMargin) {
        --share;
    }
    return std::max<std::size_t>(share, 1);
}

std::vector<std::size_t> SplitIntoPages(std::size_t length, int deviceHeight, IPrintMeasurer& measurer)
{
    std::vector<std::size_t> pages;
    for (std::size_t start = 0; start < length;) {
        const std::size_t share = NextPageShare(start, length - start, deviceHeight, measurer);
        pages.push_back(share);
        start += share;
    }
    return pages;
}
