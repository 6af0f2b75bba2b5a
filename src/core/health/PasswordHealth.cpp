#include "core/health/PasswordHealth.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <string_view>
#include <thread>
#include <tuple>
#include <unordered_map>

#include "core/health/StrengthEstimate.h"

namespace {
// Passwords a worker takes at a time: enough to keep the shared counter quiet, few enough to share out the tail.
constexpr std::size_t Batch = 64;

bool WeakestFirst(const HealthFinding& left, const HealthFinding& right)
{
    return std::tie(left.bits, left.kind, left.entries.front()) <
           std::tie(right.bits, right.kind, right.entries.front());
}
} // namespace

PasswordHealthAnalysis::PasswordHealthAnalysis(const CDataBase& database)
{
    // Views into the database's own strings, which stay put while this runs: no further copy of a password.
    std::unordered_map<std::u16string_view, std::uint32_t> useOfPassword;
    useOfPassword.reserve(database.Size());
    keys.reserve(database.Size());
    for (const auto& [key, fields] : database) {
        const auto position = static_cast<std::uint32_t>(keys.size());
        keys.push_back(key);
        if (fields.password.empty()) {
            emptyPasswords.push_back(position);
            continue;
        }
        const auto [found, added] =
            useOfPassword.try_emplace(std::u16string_view(fields.password), static_cast<std::uint32_t>(uses.size()));
        if (added) {
            uses.push_back({fields.password, {}});
        }
        uses[found->second].entries.push_back(position);
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
                    bits[i] = EstimateStrengthBits(uses[i].password);
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

std::vector<EntryKey> PasswordHealthAnalysis::KeysOf(const std::vector<std::uint32_t>& positions) const
{
    std::vector<EntryKey> named;
    named.reserve(positions.size());
    for (std::uint32_t position : positions) {
        named.push_back(keys[position]);
    }
    return named;
}

std::optional<std::vector<HealthFinding>> PasswordHealthAnalysis::Run(HealthProgress& progress, unsigned threads) const
{
    const std::vector<double> bits = EstimateAll(progress, threads);
    if (progress.stop) {
        return std::nullopt;
    }
    std::vector<HealthFinding> findings;
    for (std::uint32_t position : emptyPasswords) {
        findings.push_back({HealthFindingKind::EmptyPassword, {keys[position]}, 0});
    }
    for (std::size_t i = 0; i < uses.size(); ++i) {
        if (uses[i].entries.size() > 1) {
            findings.push_back({HealthFindingKind::ReusedPassword, KeysOf(uses[i].entries), bits[i]});
        }
        if (bits[i] < WeakBelowBits) {
            for (std::uint32_t position : uses[i].entries) {
                findings.push_back({HealthFindingKind::WeakPassword, {keys[position]}, bits[i]});
            }
        }
    }
    std::sort(findings.begin(), findings.end(), WeakestFirst);
    return findings;
}

unsigned HealthThreadCount()
{
    return std::max(std::thread::hardware_concurrency(), 1U);
}

std::vector<HealthFinding> AnalyzePasswordHealth(const CDataBase& database)
{
    HealthProgress progress;
    return PasswordHealthAnalysis(database).Run(progress, HealthThreadCount()).value_or(std::vector<HealthFinding>());
}
