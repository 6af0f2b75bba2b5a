#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/common/TextSource.h"

// The languages offered to the user, in the order of the language files, and the one chosen (-1: none).
struct LanguageList
{
    std::vector<std::u16string> names;
    int selected = -1;
};

// The table of user-interface texts: the built-in English texts, each replaced by the translation of the chosen
// language file ("*.lng" in the program folder) where it has one.
class CTranslate : public ITextSource
{
public:
    // The table stays empty until the first Load.
    explicit CTranslate(std::filesystem::path programFolder);

    // Refills the table for the language whose file names it as "lang_en"; an empty or unknown name gives the
    // built-in texts. Entries are overwritten in place; the table never shrinks.
    void Load(const std::u16string& language);
    // The loaded language file's "lang_code" (an ISO 639 code such as "de", which names the Qt catalogue of the same
    // language); empty for the built-in texts or a file without one.
    const std::u16string& LanguageCode() const { return languageCode; }
    // Replaces the list by the native names of the language files and selects the one named `language`.
    void FillLanguageList(LanguageList& list, const std::u16string& language) const;
    // Sets `language` to the English name of the file at the selected position; leaves it when nothing is
    // selected or the file is gone.
    void ReadLanguageChoice(const LanguageList& list, std::u16string& language) const;

    // Throws std::invalid_argument for an id beyond the table.
    const std::u16string& Text(int id) const override;
    std::size_t Count() const { return texts.size(); }

    // The language files in the order every operation above walks them.
    std::vector<std::filesystem::path> LanguageFiles() const;
    const std::filesystem::path& ProgramFolder() const { return programFolder; }

private:
    std::filesystem::path programFolder;
    std::vector<std::u16string> texts;
    std::u16string languageCode;
};
