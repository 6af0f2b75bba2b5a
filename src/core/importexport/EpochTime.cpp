#include "core/importexport/EpochTime.h"

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace {
// Milliseconds since 1970 have 13 digits from 2001 on; seconds keep to 11 digits until the year 5138.
constexpr std::size_t FirstMillisecondDigits = 12;
constexpr std::size_t MostDigits = 15;
} // namespace

std::optional<std::u16string> IsoDateOfEpochTime(std::u16string_view count)
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
    using namespace std::chrono;
    const sys_seconds time{seconds(value)};
    const sys_days day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss clock{time - day};
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    const std::string_view written(text);
    return std::u16string(written.begin(), written.end());
}
