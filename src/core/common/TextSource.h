#pragma once

#include <span>
#include <string>
#include <vector>

// Where translated user-interface texts come from, by text id (0 to 260).
class ITextSource
{
public:
    virtual ~ITextSource() = default;
    // Throws std::invalid_argument for an id beyond the table.
    virtual const std::u16string& Text(int id) const = 0;
    // The texts of the ids in every language there is, the current one first: one list per language, in the order
    // of `ids`. What the program wrote under another language setting is recognised by them. Only the current
    // language where no others are known.
    virtual std::vector<std::vector<std::u16string>> TextsInEveryLanguage(std::span<const int> ids) const
    {
        std::vector<std::u16string> current;
        for (const int id : ids) {
            current.push_back(Text(id));
        }
        return {current};
    }
};
