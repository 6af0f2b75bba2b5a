#pragma once

#include <optional>
#include <string>
#include <string_view>

// The date of a count of seconds since 1970 (or of milliseconds, which have 13 digits or more), as ISO 8601 in UTC:
// "2024-05-01T10:00:00Z". Nothing when the text is not such a count.
std::optional<std::u16string> IsoDateOfEpochTime(std::u16string_view count);
