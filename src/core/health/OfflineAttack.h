#pragma once

#include <string>
#include <string_view>

#include "core/common/TextSource.h"

// How long an attacker who has the database file needs to find the master password. The file's key is a single MD5
// of the master password, without salt or key stretching, and the format must stay readable as it is: so every
// guess costs one MD5, and one consumer graphics card computes about 10^10 of them a second.
inline constexpr double OfflineGuessesPerSecond = 1e10;
// Under this the master password is called weak: an attack that takes less is within a patient attacker's reach.
inline constexpr double CenturySeconds = 100 * 365.25 * 24 * 60 * 60;

// The seconds such an attack takes to try the guesses that the strength estimate (in bits) counts.
double OfflineAttackSeconds(double bits);

// Whether a master password of this estimate falls to such an attack in less than a century.
bool MasterPasswordWeak(double bits);

// A duration in the user's words, rounded to one significant digit: "less than a second", "about 3 hours",
// "more than a thousand years".
std::u16string DurationInWords(double seconds, const ITextSource& texts);

// What a master-password dialog shows about a password: the attack's duration in a sentence that says how it is
// reckoned, and whether to warn.
struct MasterPasswordAssessment
{
    double bits = 0;
    bool weak = true;
    std::u16string estimate;
};

MasterPasswordAssessment AssessMasterPassword(std::u16string_view password, const ITextSource& texts);
