#include "core/database/DatabaseSize.h"

#include "core/common/Utf.h"
#include "core/settings/BuiltinTexts.h"

namespace {
constexpr std::uint64_t CipherBlockBytes = 16;
constexpr std::u16string_view FilePlaceholder = u"%1";
} // namespace

bool CanBeDatabaseSize(std::uint64_t size)
{
    return size > 0 && size % CipherBlockBytes == 0;
}

std::u16string NotADatabaseMessage(const ITextSource& texts, const std::filesystem::path& path)
{
    std::u16string message = texts.Text(TextId::NotADatabase);
    if (const std::size_t at = message.find(FilePlaceholder); at != std::u16string::npos) {
        message.replace(at, FilePlaceholder.size(), Utf8ToUtf16(path.string()));
    }
    return message;
}

std::optional<std::u16string> NotADatabaseProblem(const ITextSource& texts, const std::filesystem::path& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || CanBeDatabaseSize(size)) {
        return std::nullopt;
    }
    return NotADatabaseMessage(texts, path);
}
