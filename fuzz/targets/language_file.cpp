// The language-file reader on arbitrary files, through the translation table that loads them.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "core/settings/BuiltinTexts.h"
#include "core/settings/ProfileReader.h"
#include "core/settings/Translate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path folder = [] {
        const std::filesystem::path languages = ScratchFolder() / "languages";
        std::filesystem::create_directories(languages);
        return languages;
    }();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    WriteScratchFile(folder / "Fuzz.lng", bytes);

    const ProfileReader reader = ProfileReader::FromBytes(bytes);
    const std::u16string language = reader.Value(u"Language", u"lang_en").value_or(u"Unknown");
    for (const std::u16string_view key : {u"lang_en", u"lang_native", u"0", u"38", u"260"}) {
        for (const std::u16string_view section : {u"Language", u"Text", u"text", u""}) {
            const auto value = reader.Value(section, key);
            FuzzCheck(!value || value->size() <= MaxProfileValueLength, "a value keeps at most its buffer's length");
        }
    }

    CTranslate translate(folder);
    translate.Load(language);
    FuzzCheck(translate.Count() == static_cast<std::size_t>(BuiltinTextCount), "every text id has a text");
    for (int id = 0; id < BuiltinTextCount; ++id) {
        translate.Text(id);
    }
    LanguageList list;
    translate.FillLanguageList(list, language);
    FuzzCheck(list.names.size() == 1 && list.selected == 0, "the one language file is listed and chosen");
    std::u16string chosen;
    translate.ReadLanguageChoice(list, chosen);
    FuzzCheck(chosen == language, "the choice reads back as the file's language");
    return 0;
}
