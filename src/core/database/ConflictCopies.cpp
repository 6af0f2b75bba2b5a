#include "core/database/ConflictCopies.h"

#include <algorithm>
#include <string_view>

namespace {
char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool ContainsIgnoringCase(std::string_view text, std::string_view word)
{
    return std::search(text.begin(), text.end(), word.begin(), word.end(),
                       [](char left, char right) { return LowerAscii(left) == LowerAscii(right); }) != text.end();
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view word)
{
    return text.size() >= word.size() && ContainsIgnoringCase(text.substr(0, word.size()), word);
}

// The part a tool put between the name and the extension: ".sync-conflict-…" or " (…)".
bool IsConflictMarker(std::string_view marker)
{
    if (StartsWithIgnoringCase(marker, ".sync-conflict-")) {
        return true;
    }
    if (marker.size() < 3 || marker.substr(0, 2) != " (" || marker.back() != ')') {
        return false;
    }
    const std::string_view inside = marker.substr(2, marker.size() - 3);
    return ContainsIgnoringCase(inside, "conflicted copy") || ContainsIgnoringCase(inside, "case conflict");
}
} // namespace

bool IsConflictCopyName(const std::string& database, const std::string& candidate)
{
    const std::filesystem::path name(database);
    const std::string stem = name.stem().string();
    const std::string extension = name.extension().string();
    if (candidate == database || candidate.size() <= stem.size() + extension.size() ||
        candidate.compare(0, stem.size(), stem) != 0 ||
        candidate.compare(candidate.size() - extension.size(), extension.size(), extension) != 0) {
        return false;
    }
    return IsConflictMarker(
        std::string_view(candidate).substr(stem.size(), candidate.size() - stem.size() - extension.size()));
}

std::vector<std::filesystem::path> FindConflictCopies(const std::filesystem::path& database)
{
    std::vector<std::filesystem::path> copies;
    std::error_code error;
    const std::string name = database.filename().string();
    const std::filesystem::path folder = database.has_parent_path() ? database.parent_path() : ".";
    for (std::filesystem::directory_iterator item(folder, error), end; !error && item != end; item.increment(error)) {
        if (IsConflictCopyName(name, item->path().filename().string()) && item->is_regular_file(error)) {
            copies.push_back(item->path());
        }
    }
    std::sort(copies.begin(), copies.end());
    return copies;
}
