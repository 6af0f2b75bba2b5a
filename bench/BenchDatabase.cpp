#include "BenchDatabase.h"

#include <random>

#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/settings/BuiltinTexts.h"

SecureString RandomText(std::mt19937& random, std::size_t minimum, std::size_t maximum)
{
    static const std::u16string alphabet = u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ._-@";
    std::uniform_int_distribution<std::size_t> length(minimum, maximum);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    SecureString text(length(random), u' ');
    for (auto& unit : text) {
        unit = alphabet[pick(random)];
    }
    return text;
}

BenchDatabase::BenchDatabase(std::size_t count)
{
    std::mt19937 random(42);
    for (std::size_t i = 0; i < count; ++i) {
        const std::u16string number = ToU16(i);
        EntryKey key{ToSecure(u"Group " + ToU16(i % 40)), RandomText(random, 8, 24)};
        key.title.append(number.begin(), number.end());
        database.Add(key, {RandomText(random, 6, 20), RandomText(random, 16, 16),
                           ToSecure(u"https://") + RandomText(random, 10, 30), RandomText(random, 0, 60)});
    }
}

const std::u16string& BenchDatabase::EnglishTexts::Text(int id) const
{
    static const std::u16string invalidPassword(BuiltinText(TextId::InvalidPassword));
    static const std::u16string duplicate(BuiltinText(TextId::DuplicateEntry));
    return id == TextId::DuplicateEntry ? duplicate : invalidPassword;
}

SecureBytes PlaintextWithPaddingRoom(const CDataBase& database)
{
    const SecureString plaintext = BuildPlaintext(database);
    const auto* bytes = reinterpret_cast<const unsigned char*>(plaintext.data());
    SecureBytes buffer(bytes, bytes + plaintext.size() * 2);
    buffer.resize(buffer.size() + 24);
    return buffer;
}
