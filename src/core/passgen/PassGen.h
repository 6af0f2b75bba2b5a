#pragma once

#include <cstdint>
#include <string_view>

#include "core/common/SecureString.h"
#include "core/passgen/RandomSource.h"

// Makes random passwords from up to four character sets.
class CPassGen
{
public:
    static constexpr std::u16string_view UpperSet = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    static constexpr std::u16string_view LowerSet = u"abcdefghijklmnopqrstuvwxyz";
    static constexpr std::u16string_view NumberSet = u"0123456789";
    static constexpr std::u16string_view SpecialSet = u"!@#$%^&*()_-+";

    explicit CPassGen(IRandomSource& source = OsRandom())
        : source(source)
    {}
    virtual ~CPassGen() = default;

    // Appends `length` characters drawn uniformly from the chosen sets. Nothing is appended when no set is chosen
    // or the length is not positive. Throws when the random source fails; `text` is then unchanged.
    void Generate(SecureString& text) const;

    // The chosen sets joined in the fixed order upper, lower, numbers, special.
    SecureString Alphabet() const;

    std::int32_t length = 32;
    // A set counts as chosen only when its flag holds exactly 1.
    unsigned char upper = 1;
    unsigned char lower = 1;
    unsigned char numbers = 1;
    unsigned char special = 1;

private:
    IRandomSource& source;
};
