#pragma once

#include <string>

// Where translated user-interface texts come from, by text id (0 to 260).
class ITextSource
{
public:
    virtual ~ITextSource() = default;
    // Throws std::invalid_argument for an id beyond the table.
    virtual const std::u16string& Text(int id) const = 0;
};
