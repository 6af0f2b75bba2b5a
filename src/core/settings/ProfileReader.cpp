#include "core/settings/ProfileReader.h"

#include <algorithm>
#include <fstream>

#include "core/common/Utf.h"

namespace {
bool IsBlank(char16_t character)
{
    return character == u' ' || character == u'\t' || character == u'\v' || character == u'\f';
}

std::u16string_view Trimmed(std::u16string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Names are compared without regard to ASCII letter case; the sections and keys the program asks for are ASCII.
std::u16string Folded(std::u16string_view name)
{
    std::u16string folded(name);
    for (char16_t& character : folded) {
        if (character >= u'A' && character <= u'Z') {
            character = static_cast<char16_t>(character - u'A' + u'a');
        }
    }
    return folded;
}

std::u16string_view Unquoted(std::u16string_view value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

// Cuts at the length limit without splitting a surrogate pair.
std::u16string_view Limited(std::u16string_view value)
{
    if (value.size() <= MaxProfileValueLength) {
        return value;
    }
    std::size_t length = MaxProfileValueLength;
    if (value[length - 1] >= 0xD800 && value[length - 1] <= 0xDBFF) {
        --length;
    }
    return value.substr(0, length);
}

std::u16string Utf16BeBytesToText(std::string_view bytes)
{
    std::string swapped(bytes.substr(0, bytes.size() & ~std::size_t{1}));
    for (std::size_t i = 0; i + 1 < swapped.size(); i += 2) {
        std::swap(swapped[i], swapped[i + 1]);
    }
    return Utf16LeBytesToText(swapped);
}
} // namespace

ProfileReader ProfileReader::FromFile(const std::filesystem::path& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return ProfileReader(std::u16string_view());
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    std::ifstream file(path, std::ios::binary);
    std::string bytes(error ? 0 : static_cast<std::size_t>(std::min<std::uintmax_t>(size, MaxProfileFileSize)), '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    return FromBytes(bytes);
}

ProfileReader ProfileReader::FromBytes(std::string_view bytes)
{
    if (bytes.starts_with("\xFF\xFE")) {
        return ProfileReader(Utf16LeBytesToText(bytes.substr(2)));
    }
    if (bytes.starts_with("\xFE\xFF")) {
        return ProfileReader(Utf16BeBytesToText(bytes.substr(2)));
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    return ProfileReader(Utf8ToUtf16(bytes));
}

ProfileReader::ProfileReader(std::u16string_view text)
{
    Keys* current = nullptr;
    // A repeated section adds nothing: look-ups stop at the first section of a name.
    bool currentIsRepeat = false;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of(u"\r\n"), text.size());
        const std::u16string_view line = Trimmed(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));

        if (line.starts_with(u'[')) {
            const std::size_t close = std::min(line.find(u']'), line.size());
            const std::u16string name = Folded(Trimmed(line.substr(1, close - 1)));
            const auto [section, inserted] = sections.try_emplace(name);
            current = &section->second;
            currentIsRepeat = !inserted;
            continue;
        }
        const std::size_t equals = line.find(u'=');
        if (current == nullptr || currentIsRepeat || equals == std::u16string_view::npos) {
            continue;
        }
        const std::u16string key = Folded(Trimmed(line.substr(0, equals)));
        current->try_emplace(key, Limited(Unquoted(Trimmed(line.substr(equals + 1)))));
    }
}

const ProfileReader::Keys* ProfileReader::FindSection(std::u16string_view section) const
{
    const auto found = sections.find(Folded(section));
    return found == sections.end() ? nullptr : &found->second;
}

std::optional<std::u16string> ProfileReader::Value(std::u16string_view section, std::u16string_view key) const
{
    const Keys* keys = FindSection(section);
    if (keys == nullptr) {
        return std::nullopt;
    }
    const auto found = keys->find(Folded(key));
    if (found == keys->end()) {
        return std::nullopt;
    }
    return found->second;
}

bool ProfileReader::HasSection(std::u16string_view section) const
{
    return FindSection(section) != nullptr;
}
