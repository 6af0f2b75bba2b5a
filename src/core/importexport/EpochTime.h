#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// "2024-05-01T10:00:00Z": an import writes one per date column and entry, so it is made without an allocation.
using IsoDate = std::array<char16_t, 20>;

// The seconds since 1970 a count of seconds (or of milliseconds, which have 13 digits or more) gives; nothing when
// the text is not such a count or its date is not before the year 10000.
std::optional<std::int64_t> EpochSeconds(std::u16string_view count);

// The date of seconds since 1970 before the year 10000, as ISO 8601 in UTC.
IsoDate IsoDateOfEpochSeconds(std::int64_t seconds);
