#include "cli/Prompts.h"

#include "core/common/Utf.h"

std::u16string PromptFor(const ITextSource& texts, int textId, const std::filesystem::path& database)
{
    return texts.Text(textId) + u" " + Utf8ToUtf16(database.string());
}
