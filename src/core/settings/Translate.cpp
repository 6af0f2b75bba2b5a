#include "core/settings/Translate.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "core/settings/BuiltinTexts.h"
#include "core/settings/ProfileReader.h"

namespace {
constexpr std::u16string_view LanguageSection = u"Language";
constexpr std::u16string_view TextSection = u"Text";
constexpr std::u16string_view EnglishNameKey = u"lang_en";
constexpr std::u16string_view NativeNameKey = u"lang_native";
constexpr std::u16string_view CodeKey = u"lang_code";
constexpr std::u16string_view UnknownName = u"Unknown";

std::u16string NameOf(const ProfileReader& file, std::u16string_view key)
{
    return file.Value(LanguageSection, key).value_or(std::u16string(UnknownName));
}

bool HasLanguageExtension(const std::filesystem::path& file)
{
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](char character) {
        return character >= 'A' && character <= 'Z' ? character - 'A' + 'a' : character;
    });
    return extension == ".lng";
}

void ReplaceAll(std::u16string& text, std::u16string_view from, char16_t to)
{
    std::size_t position = 0;
    while ((position = text.find(from, position)) != std::u16string::npos) {
        text.replace(position, from.size(), 1, to);
        ++position;
    }
}

std::u16string IdKey(int id)
{
    const std::string digits = std::to_string(id);
    return std::u16string(digits.begin(), digits.end());
}
} // namespace

CTranslate::CTranslate(std::filesystem::path programFolder)
    : programFolder(std::move(programFolder))
{}

std::vector<std::filesystem::path> CTranslate::LanguageFiles() const
{
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(programFolder, error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code typeError;
        if (HasLanguageExtension(entry->path()) && entry->is_regular_file(typeError)) {
            files.push_back(entry->path());
        }
    }
    // The directory's own order may change whenever a file is added or removed, and the language list relies on
    // item i belonging to the i-th file both when it is filled and when the choice is read back. Sorting by name
    // keeps that order the same between calls and from one start to the next.
    std::sort(files.begin(), files.end(),
              [](const auto& left, const auto& right) { return left.filename().native() < right.filename().native(); });
    return files;
}

void CTranslate::Load(const std::u16string& language)
{
    std::optional<ProfileReader> chosen;
    for (const std::filesystem::path& file : LanguageFiles()) {
        ProfileReader reader = ProfileReader::FromFile(file);
        if (NameOf(reader, EnglishNameKey) == language) {
            chosen = std::move(reader);
            break;
        }
    }
    languageCode = chosen ? chosen->Value(LanguageSection, CodeKey).value_or(std::u16string()) : std::u16string();
    for (int id = 0;; ++id) {
        const std::u16string_view builtin = BuiltinText(id);
        if (builtin.empty()) {
            break;
        }
        std::u16string text(builtin);
        if (chosen) {
            text = chosen->Value(TextSection, IdKey(id)).value_or(text);
        }
        ReplaceAll(text, u"\\t", u'\t');
        ReplaceAll(text, u"\\n", u'\n');
        const auto index = static_cast<std::size_t>(id);
        if (index < texts.size()) {
            texts[index] = std::move(text);
        } else {
            texts.push_back(std::move(text));
        }
    }
}

void CTranslate::FillLanguageList(LanguageList& list, const std::u16string& language) const
{
    list.names.clear();
    list.selected = -1;
    for (const std::filesystem::path& file : LanguageFiles()) {
        const ProfileReader reader = ProfileReader::FromFile(file);
        list.names.push_back(NameOf(reader, NativeNameKey));
        if (NameOf(reader, EnglishNameKey) == language) {
            list.selected = static_cast<int>(list.names.size()) - 1;
        }
    }
}

void CTranslate::ReadLanguageChoice(const LanguageList& list, std::u16string& language) const
{
    if (list.selected < 0) {
        return;
    }
    const std::vector<std::filesystem::path> files = LanguageFiles();
    const auto position = static_cast<std::size_t>(list.selected);
    if (position < files.size()) {
        language = NameOf(ProfileReader::FromFile(files[position]), EnglishNameKey);
    }
}

const std::u16string& CTranslate::Text(int id) const
{
    if (id < 0 || static_cast<std::size_t>(id) >= texts.size()) {
        throw std::invalid_argument("text id " + std::to_string(id) + " is beyond the text table");
    }
    return texts[static_cast<std::size_t>(id)];
}
