#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Reads an INI-style file once and answers look-ups of (section, key) from memory. Grammar: "[name]" opens a
// section, "key=value" gives a value in it; section and key names match without regard to ASCII letter case; white
// space around names and values is dropped; one pair of matching single or double quotes around a value is removed;
// the first occurrence of a section and of a key within it counts; a value keeps at most MaxProfileValueLength
// characters. The file is UTF-16 with a byte-order mark, or else 8-bit text read as UTF-8 (ill-formed bytes become
// U+FFFD).
class ProfileReader
{
public:
    // An unreadable or missing file reads as one without sections.
    static ProfileReader FromFile(const std::filesystem::path& path);
    // Decodes the bytes of a file as described above.
    static ProfileReader FromBytes(std::string_view bytes);
    explicit ProfileReader(std::u16string_view text);

    // nullopt when the section or the key is missing; an empty value is a value.
    std::optional<std::u16string> Value(std::u16string_view section, std::u16string_view key) const;
    bool HasSection(std::u16string_view section) const;

private:
    using Keys = std::unordered_map<std::u16string, std::u16string>;

    const Keys* FindSection(std::u16string_view section) const;

    std::unordered_map<std::u16string, Keys> sections;
};

// A value is read into a buffer of 1024 characters, one of them taken by the terminator.
inline constexpr std::size_t MaxProfileValueLength = 1023;
// Only this much of a file is read; a language file is a few dozen kilobytes.
inline constexpr std::size_t MaxProfileFileSize = std::size_t{16} << 20;
