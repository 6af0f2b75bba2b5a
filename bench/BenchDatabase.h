#pragma once

#include <cstddef>
#include <memory>
#include <random>

#include "core/database/DataBase.h"

// Random letters, digits and a few separators, between `minimum` and `maximum` long.
SecureString RandomText(std::mt19937& random, std::size_t minimum, std::size_t maximum);

// A collection of realistic entries for benchmarks: a few dozen groups, titles, user names, 16-character passwords,
// addresses and short notes.
struct BenchDatabase
{
    explicit BenchDatabase(std::size_t count);

    class SilentReporter : public IMessageReporter
    {
    public:
        void ShowMessage(const std::u16string&, MessageIcon) override {}
    };
    class EnglishTexts : public ITextSource
    {
    public:
        const std::u16string& Text(int id) const override;
    };

    SilentReporter reporter;
    EnglishTexts texts;
    CDataBase database{reporter, texts};
};

// The collection's plaintext as bytes, with room after it for the padding of both cipher layers, so that both can
// encrypt it in place.
SecureBytes PlaintextWithPaddingRoom(const CDataBase& database);
