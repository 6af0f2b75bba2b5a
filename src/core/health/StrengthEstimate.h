#pragma once

#include <string_view>

// How many guesses a password withstands, as an estimate in bits (log2 of the guesses), and the words it is shown
// with. zxcvbn counts what an attacker tries first: dictionary words, names, keyboard runs, dates, repeats.

// Below this a password is reported as weak. 2^40 guesses is well within reach of one graphics card against a fast
// hash of a leaked site, and it is the border most managers' "poor" ratings use; 40 bits from zxcvbn take about a
// twelve-character random lower-case password or four unrelated common words.
inline constexpr double WeakBelowBits = 40.0;

enum class StrengthLevel
{
    VeryWeak, // below 28 bits: about 10^8 guesses, an online attack that is not slowed down
    Weak,     // below WeakBelowBits
    Fair,     // below 64 bits
    Strong,
};

// The estimate of one password; 0 for an empty one. Safe to call from several threads at once.
double EstimateStrengthBits(std::u16string_view password);

StrengthLevel StrengthLevelOf(double bits);

// The text id of the level's word.
int StrengthWordId(StrengthLevel level);
