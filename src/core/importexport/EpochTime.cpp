#include "core/importexport/EpochTime.h"

#include <chrono>
#include <cstdint>

namespace {
// Milliseconds since 1970 have 13 digits from 2001 on; seconds keep to 11 digits until the year 5138.
constexpr std::size_t FirstMillisecondDigits = 12;
constexpr std::size_t MostDigits = 15;
// 10000-01-01T00:00:00Z: a year of five digits has no place in the date's four.
constexpr std::int64_t FirstSecondOfYear10000 = 253402300800;

// Writes the value's last width digits and the separator after them; gives the position that follows.
std::size_t PutDigits(IsoDate& text, std::size_t at, unsigned value, std::size_t width, char16_t separator)
{
    for (std::size_t digit = width; digit > 0; --digit) {
        text[at + digit - 1] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    }
    text[at + width] = separator;
    return at + width + 1;
}
} // namespace

std::optional<std::int64_t> EpochSeconds(std::u16string_view count)
{
    if (count.empty() || count.size() > MostDigits) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char16_t digit : count) {
        if (digit < u'0' || digit > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (digit - u'0');
    }
    if (count.size() >= FirstMillisecondDigits) {
        value /= 1000;
    }
    if (value >= FirstSecondOfYear10000) {
        return std::nullopt;
    }
    return value;
}

IsoDate IsoDateOfEpochSeconds(std::int64_t seconds)
{
    using namespace std::chrono;
    const sys_seconds time{std::chrono::seconds(seconds)};
    const sys_days day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss clock{time - day};
    IsoDate text{};
    std::size_t at = PutDigits(text, 0, static_cast<unsigned>(static_cast<int>(date.year())), 4, u'-');
    at = PutDigits(text, at, static_cast<unsigned>(date.month()), 2, u'-');
    at = PutDigits(text, at, static_cast<unsigned>(date.day()), 2, u'T');
    at = PutDigits(text, at, static_cast<unsigned>(clock.hours().count()), 2, u':');
    at = PutDigits(text, at, static_cast<unsigned>(clock.minutes().count()), 2, u':');
    PutDigits(text, at, static_cast<unsigned>(clock.seconds().count()), 2, u'Z');
    return text;
}
