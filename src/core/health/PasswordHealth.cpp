#include "core/health/PasswordHealth.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <thread>
#include <tuple>
#include <unordered_map>

#include "core/health/OfflineAttack.h"
#include "core/health/StrengthEstimate.h"

namespace {
// Passwords a worker takes at a time: enough to keep the shared counter quiet, few enough to share out the tail.
constexpr std::size_t Batch = 64;

bool WeakestFirst(const HealthFinding& left, const HealthFinding& right)
{
    return std::tie(left.bits, left.kind, left.entries.front()) <
           std::tie(right.bits, right.kind, right.entries.front());
}

std::size_t TextSize(const CDataBase& database)
{
    std::size_t size = 0;
    for (const auto& [key, fields] : database) {
        size += key.group.size() + key.title.size();
    }
    return size;
}
} // namespace

PasswordHealthAnalysis::PasswordHealthAnalysis(const CDataBase& database, std::optional<SecureString> masterPassword)
    : masterPassword(std::move(masterPassword))
{
    auto append = [](SecureString& buffer, const SecureString& text) {
        const Place place{buffer.size(), text.size()};
        buffer += text;
        return place;
    };
    // Views into the database's own strings, which stay put while this runs.
    std::unordered_map<std::u16string_view, std::uint32_t> useOfPassword;
    useOfPassword.reserve(database.Size());
    keyText.reserve(TextSize(database));
    keys.reserve(database.Size());
    useOf.reserve(database.Size());
    for (const auto& [key, fields] : database) {
        keys.push_back({append(keyText, key.group), append(keyText, key.title)});
        if (fields.password.empty()) {
            useOf.push_back(NoPassword);
            continue;
        }
        const auto [found, added] =
            useOfPassword.try_emplace(std::u16string_view(fields.password), static_cast<std::uint32_t>(uses.size()));
        if (added) {
            uses.push_back({append(passwordText, fields.password), 0});
        }
        ++uses[found->second].entries;
        useOf.push_back(found->second);
    }
}

std::vector<double> PasswordHealthAnalysis::EstimateAll(HealthProgress& progress, unsigned threads) const
{
    std::vector<double> bits(uses.size());
    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    auto work = [&] {
        try {
            for (std::size_t first = next.fetch_add(Batch); first < uses.size() && !progress.stop;
                 first = next.fetch_add(Batch)) {
                const std::size_t last = std::min(first + Batch, uses.size());
                for (std::size_t i = first; i < last; ++i) {
                    const Place& place = uses[i].password;
                    bits[i] = EstimateStrengthBits(std::u16string_view(passwordText).substr(place.start, place.length));
                }
                progress.estimated += last - first;
            }
        } catch (...) {
            const std::lock_guard lock(failureLock);
            failure = std::current_exception();
            progress.stop = true;
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (unsigned i = 1; i < std::max(threads, 1U); ++i) {
            helpers.emplace_back(work);
        }
        work();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    return bits;
}

EntryKey PasswordHealthAnalysis::KeyAt(std::size_t entry) const
{
    const KeyPlace& place = keys[entry];
    return {keyText.substr(place.group.start, place.group.length),
            keyText.substr(place.title.start, place.title.length)};
}

std::optional<std::vector<HealthFinding>> PasswordHealthAnalysis::Run(HealthProgress& progress, unsigned threads) const
{
    const std::vector<double> bits = EstimateAll(progress, threads);
    if (progress.stop) {
        return std::nullopt;
    }
    std::vector<HealthFinding> findings;
    // The finding of each reused password, filled in key order as its entries come.
    std::unordered_map<std::uint32_t, std::size_t> reusedFinding;
    for (std::size_t entry = 0; entry < keys.size(); ++entry) {
        const std::uint32_t use = useOf[entry];
        if (use == NoPassword) {
            findings.push_back({HealthFindingKind::EmptyPassword, {KeyAt(entry)}, 0});
            continue;
        }
        if (uses[use].entries > 1) {
            const auto [found, added] = reusedFinding.try_emplace(use, findings.size());
            if (added) {
                findings.push_back({HealthFindingKind::ReusedPassword, {}, bits[use]});
            }
            findings[found->second].entries.push_back(KeyAt(entry));
        }
        if (bits[use] < WeakBelowBits) {
            findings.push_back({HealthFindingKind::WeakPassword, {KeyAt(entry)}, bits[use]});
        }
    }
    std::sort(findings.begin(), findings.end(), WeakestFirst);
    if (masterPassword) {
        // The key to all the others comes first, whatever the entries' estimates.
        const double masterBits = EstimateStrengthBits(*masterPassword);
        if (MasterPasswordWeak(masterBits)) {
            findings.insert(findings.begin(), {HealthFindingKind::WeakMasterPassword, {}, masterBits});
        }
    }
    return findings;
}

unsigned HealthThreadCount()
{
    return std::max(std::thread::hardware_concurrency(), 1U);
}

std::vector<HealthFinding> AnalyzePasswordHealth(const CDataBase& database, std::optional<SecureString> masterPassword)
{
    HealthProgress progress;
    return PasswordHealthAnalysis(database, std::move(masterPassword))
        .Run(progress, HealthThreadCount())
        .value_or(std::vector<HealthFinding>());
}
