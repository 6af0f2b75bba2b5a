#include "core/health/OfflineAttack.h"

#include <array>
#include <cmath>

#include "core/common/Utf.h"
#include "core/health/StrengthEstimate.h"
#include "core/settings/BuiltinTexts.h"

namespace {
struct Unit
{
    double seconds; // the length of one
    double limit;   // from this many on, the next unit is used
    int textId;     // "about 1 UNIT|about %1 UNITs"
};

constexpr double Minute = 60;
constexpr double Hour = 60 * Minute;
constexpr double Day = 24 * Hour;
constexpr double Year = 365.25 * Day;
constexpr double Thousand = 1000;

constexpr std::array<Unit, 5> Units{{
    {1, 60, TextId::AboutSeconds},
    {Minute, 60, TextId::AboutMinutes},
    {Hour, 24, TextId::AboutHours},
    {Day, Year / Day, TextId::AboutDays},
    {Year, Thousand, TextId::AboutYears},
}};

// One significant digit, so that a count is 1 only when it is exactly one: the singular then never meets 21 or 31,
// which some languages would want in another form.
double OneSignificantDigit(double value)
{
    const double scale = std::pow(10.0, std::floor(std::log10(value)));
    return std::round(value / scale) * scale;
}

std::u16string Filled(std::u16string text, std::u16string_view value)
{
    const std::size_t slot = text.find(u"%1");
    if (slot != std::u16string::npos) {
        text.replace(slot, 2, value);
    }
    return text;
}

// Picks the singular or the plural of "about 1 hour|about %1 hours" and puts the count in.
std::u16string CountInWords(const std::u16string& forms, double count)
{
    const std::size_t bar = forms.find(u'|');
    const long long whole = std::llround(count);
    const bool one = whole == 1 || bar == std::u16string::npos;
    return Filled(one ? forms.substr(0, bar) : forms.substr(bar + 1), ToU16(static_cast<unsigned long long>(whole)));
}
} // namespace

double OfflineAttackSeconds(double bits)
{
    return std::exp2(bits) / OfflineGuessesPerSecond;
}

bool MasterPasswordWeak(double bits)
{
    return OfflineAttackSeconds(bits) < CenturySeconds;
}

std::u16string DurationInWords(double seconds, const ITextSource& texts)
{
    if (seconds < 1) {
        return texts.Text(TextId::LessThanASecond);
    }
    for (const Unit& unit : Units) {
        const double count = OneSignificantDigit(seconds / unit.seconds);
        if (count < unit.limit) {
            return CountInWords(texts.Text(unit.textId), count);
        }
    }
    return texts.Text(TextId::MoreThanAThousandYears);
}

MasterPasswordAssessment AssessMasterPassword(std::u16string_view password, const ITextSource& texts)
{
    MasterPasswordAssessment assessment;
    assessment.bits = EstimateStrengthBits(password);
    assessment.weak = MasterPasswordWeak(assessment.bits);
    assessment.estimate = Filled(texts.Text(TextId::OfflineAttackEstimate),
                                 DurationInWords(OfflineAttackSeconds(assessment.bits), texts));
    return assessment;
}
