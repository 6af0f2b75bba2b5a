#include "cli/NumberArgument.h"

#include <string>

#include "cli/CliCommand.h"

int NumberArgument(std::u16string_view text, int lowest, int highest, std::string_view what)
{
    const bool negative = !text.empty() && text.front() == u'-';
    const std::u16string_view digits = negative ? text.substr(1) : text;
    long long value = 0;
    bool valid = !digits.empty() && digits.size() <= 10;
    for (char16_t digit : digits) {
        valid = valid && digit >= u'0' && digit <= u'9';
        value = value * 10 + (digit - u'0');
    }
    value = negative ? -value : value;
    if (!valid || value < lowest || value > highest) {
        throw UsageError(std::string(what) + " must be a whole number from " + std::to_string(lowest) + " to " +
                         std::to_string(highest));
    }
    return static_cast<int>(value);
}

std::vector<SecureString> CommaSeparated(const SecureString& text)
{
    std::vector<SecureString> items;
    if (text.empty()) {
        return items;
    }
    std::size_t start = 0;
    for (std::size_t comma = text.find(u','); comma != SecureString::npos; comma = text.find(u',', start)) {
        items.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    items.push_back(text.substr(start));
    return items;
}
