#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "core/passgen/PassGen.h"

namespace {
// Plays back a fixed byte sequence, over and over.
class ScriptedSource : public IRandomSource
{
public:
    explicit ScriptedSource(std::vector<unsigned char> bytes)
        : bytes(std::move(bytes))
    {}
    void Fill(unsigned char* data, std::size_t size) override
    {
        for (std::size_t i = 0; i < size; ++i) {
            data[i] = bytes[next++ % bytes.size()];
        }
    }

private:
    std::vector<unsigned char> bytes;
    std::size_t next = 0;
};

// A seeded, uniform byte stream (SplitMix64), so statistical tests give the same verdict on every run.
class SeededSource : public IRandomSource
{
public:
    explicit SeededSource(std::uint64_t seed)
        : state(seed)
    {}
    void Fill(unsigned char* data, std::size_t size) override
    {
        for (std::size_t i = 0; i < size; ++i) {
            data[i] = static_cast<unsigned char>(Next() >> 56);
        }
    }

private:
    std::uint64_t Next()
    {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    std::uint64_t state;
};

class FailingSource : public IRandomSource
{
public:
    void Fill(unsigned char*, std::size_t) override { throw std::runtime_error("no entropy"); }
};

class PassGenTest : public testing::Test
{
protected:
    CPassGen Generator(IRandomSource& source, int length, unsigned char upper, unsigned char lower,
                       unsigned char numbers, unsigned char special)
    {
        CPassGen generator(source);
        generator.length = length;
        generator.upper = upper;
        generator.lower = lower;
        generator.numbers = numbers;
        generator.special = special;
        return generator;
    }

    static SecureString Generated(const CPassGen& generator)
    {
        SecureString text;
        generator.Generate(text);
        return text;
    }

    SeededSource seeded{20261208};
};

TEST_F(PassGenTest, NewGeneratorMakes32CharactersFromAllFourSets)
{
    CPassGen generator(seeded);
    EXPECT_EQ(generator.length, 32);
    EXPECT_EQ(Generated(generator).size(), 32u);
    EXPECT_EQ(generator.Alphabet().size(), 75u);
}

TEST_F(PassGenTest, AlphabetJoinsTheSetsInTheirFixedOrder)
{
    EXPECT_EQ(Generator(seeded, 1, 1, 1, 1, 1).Alphabet(),
              ToSecure(u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789!@#$%^&*()_-+"));
    EXPECT_EQ(Generator(seeded, 1, 0, 1, 0, 1).Alphabet(), ToSecure(u"abcdefghijklmnopqrstuvwxyz!@#$%^&*()_-+"));
    EXPECT_EQ(Generator(seeded, 1, 1, 0, 1, 0).Alphabet(), ToSecure(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"));
}

TEST_F(PassGenTest, NoSetChosenLeavesTheTextAsItWas)
{
    SecureString text = ToSecure(u"kept");
    Generator(seeded, 32, 0, 0, 0, 0).Generate(text);
    EXPECT_EQ(text, ToSecure(u"kept"));
}

TEST_F(PassGenTest, FlagsOtherThanOneCountAsNotSet)
{
    EXPECT_TRUE(Generated(Generator(seeded, 10, 2, 255, 0, 7)).empty());
    EXPECT_EQ(Generator(seeded, 10, 2, 1, 0, 7).Alphabet(), ToSecure(CPassGen::LowerSet));
}

TEST_F(PassGenTest, ZeroOrNegativeLengthGivesAnEmptyPassword)
{
    EXPECT_TRUE(Generated(Generator(seeded, 0, 1, 1, 1, 1)).empty());
    EXPECT_TRUE(Generated(Generator(seeded, -5, 1, 1, 1, 1)).empty());
}

TEST_F(PassGenTest, OnlyNumbersWithLengthFourGivesFourDigits)
{
    const SecureString password = Generated(Generator(seeded, 4, 0, 0, 1, 0));
    ASSERT_EQ(password.size(), 4u);
    for (char16_t character : password) {
        EXPECT_TRUE(character >= u'0' && character <= u'9') << static_cast<int>(character);
    }
}

TEST_F(PassGenTest, OnlySpecialSetDrawsOnlyTheThirteenSymbols)
{
    const SecureString password = Generated(Generator(seeded, 500, 0, 0, 0, 1));
    ASSERT_EQ(password.size(), 500u);
    for (char16_t character : password) {
        EXPECT_NE(std::u16string_view(u"!@#$%^&*()_-+").find(character), std::u16string_view::npos);
    }
}

TEST_F(PassGenTest, GenerateAppendsToTheText)
{
    SecureString text = ToSecure(u"pre");
    Generator(seeded, 5, 0, 0, 1, 0).Generate(text);
    ASSERT_EQ(text.size(), 8u);
    EXPECT_EQ(text.substr(0, 3), ToSecure(u"pre"));
}

TEST_F(PassGenTest, SameSourceSequenceGivesTheSamePasswords)
{
    SeededSource first(42);
    SeededSource second(42);
    const CPassGen one = Generator(first, 20, 1, 1, 1, 1);
    const CPassGen two = Generator(second, 20, 1, 1, 1, 1);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Generated(one), Generated(two));
    }
}

TEST_F(PassGenTest, BytesOfTheIncompleteLastRoundAreRejected)
{
    // With 75 characters the bytes 225 to 255 would favour the first 31 positions; they must be skipped.
    ScriptedSource source({225, 255, 5, 230, 74, 150});
    EXPECT_EQ(Generated(Generator(source, 3, 1, 1, 1, 1)), ToSecure(u"F+A"));
}

TEST_F(PassGenTest, BytesMapOntoPositionsOfASmallAlphabet)
{
    // 10 digits: bytes up to 249 are used, 250 to 255 rejected.
    ScriptedSource source({9, 250, 19, 255, 249, 0});
    EXPECT_EQ(Generated(Generator(source, 4, 0, 0, 1, 0)), ToSecure(u"9990"));
}

TEST_F(PassGenTest, AFailingSourceLeavesTheTextUnchanged)
{
    FailingSource failing;
    SecureString text = ToSecure(u"before");
    EXPECT_THROW(Generator(failing, 8, 1, 1, 1, 1).Generate(text), std::runtime_error);
    EXPECT_EQ(text, ToSecure(u"before"));
}

TEST_F(PassGenTest, EveryCombinationOfSetsDrawsOnlyFromTheChosenSets)
{
    for (int mask = 1; mask < 16; ++mask) {
        const CPassGen generator = Generator(seeded, 2000, mask & 1, (mask >> 1) & 1, (mask >> 2) & 1, (mask >> 3) & 1);
        const SecureString alphabet = generator.Alphabet();
        const SecureString password = Generated(generator);
        ASSERT_EQ(password.size(), 2000u);
        for (char16_t character : password) {
            ASSERT_NE(alphabet.find(character), SecureString::npos) << "mask " << mask;
        }
    }
}

TEST_F(PassGenTest, EveryPositionOfTheFullAlphabetIsEquallyLikely)
{
    constexpr int Draws = 1000000;
    const CPassGen generator = Generator(seeded, Draws, 1, 1, 1, 1);
    const SecureString alphabet = generator.Alphabet();
    const SecureString password = Generated(generator);
    ASSERT_EQ(password.size(), static_cast<std::size_t>(Draws));

    std::array<long, 75> counts{};
    for (char16_t character : password) {
        const auto position = alphabet.find(character);
        ASSERT_NE(position, SecureString::npos);
        ++counts[position];
    }
    const double expected = static_cast<double>(Draws) / 75.0;
    double chiSquare = 0;
    for (long count : counts) {
        chiSquare += (count - expected) * (count - expected) / expected;
    }
    // 74 degrees of freedom: 0.1% of uniform samples exceed 118. A plain modulo over bytes would give about 20,000.
    EXPECT_LT(chiSquare, 118.0);
}

TEST_F(PassGenTest, SystemSourceGivesDifferentPasswordsFromTheAlphabet)
{
    CPassGen generator;
    const SecureString alphabet = generator.Alphabet();
    const SecureString first = Generated(generator);
    const SecureString second = Generated(generator);
    EXPECT_EQ(first.size(), 32u);
    EXPECT_NE(first, second);
    for (char16_t character : first + second) {
        EXPECT_NE(alphabet.find(character), SecureString::npos);
    }
}
} // namespace
