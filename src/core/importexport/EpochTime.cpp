#include "core/importexport/EpochTime.h"

#include <chrono>
#include <cstdint>

namespace {
// Milliseconds since 1970 have 13 digits from 2001 on; seconds keep to 11 digits until the year 5138.
constexpr std::size_t FirstMillisecondDigits = 12;
constexpr std::size_t MostDigits = 15;

void AppendDigits(std::u16string& text, unsigned value, unsigned width)
{
    for (unsigned power = width; power > 0; --power) {
        unsigned divisor = 1;
        for (unsigned i = 1; i < power; ++i) {
            divisor *= 10;
        }
        text.push_back(static_cast<char16_t>(u'0' + value / divisor % 10));
    }
}
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
    std::u16string text;
    const auto year = static_cast<int>(date.year());
    if (year < 0 || year > 9999) {
        return std::nullopt;
    }
    AppendDigits(text, static_cast<unsigned>(year), 4);
    text += u'-';
    AppendDigits(text, static_cast<unsigned>(date.month()), 2);
    text += u'-';
    AppendDigits(text, static_cast<unsigned>(date.day()), 2);
    text += u'T';
    AppendDigits(text, static_cast<unsigned>(clock.hours().count()), 2);
    text += u':';
    AppendDigits(text, static_cast<unsigned>(clock.minutes().count()), 2);
    text += u':';
    AppendDigits(text, static_cast<unsigned>(clock.seconds().count()), 2);
    text += u'Z';
    return text;
}
