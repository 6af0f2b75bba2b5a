#pragma once

#include <random>
#include <string>

#include "ExpectedEntries.h"

// Random keys and fields for the randomised session tests. The text draws on units of one, two and four UTF-8
// bytes and on the three units of the field terminator one by one, so that records end at every offset within a
// cipher block and fields come close to the terminator without holding it.
class RandomEntries
{
public:
    explicit RandomEntries(unsigned seed)
        : random(seed)
    {}

    std::u16string Text(std::size_t longest);
    // Text that holds no field terminator.
    std::u16string FieldText(std::size_t longest);
    ExpectedEntries::Key Key();
    // Fields a save can store.
    ExpectedEntries::Fields Fields();
    // Fields of which one holds the field terminator or a NUL, which no save may write.
    ExpectedEntries::Fields UnstorableFields();

    // A number from 0 to `count` - 1.
    std::size_t Below(std::size_t count) { return count == 0 ? 0 : random() % count; }
    bool OneIn(unsigned count) { return random() % count == 0; }
    std::mt19937& Engine() { return random; }

private:
    std::mt19937 random;
};
