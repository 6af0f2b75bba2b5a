#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/database/DataBase.h"

enum class HealthFindingKind
{
    EmptyPassword,
    ReusedPassword,
    WeakPassword,
};

// One problem of the database's passwords. It names the entries and carries the estimate, never the password.
struct HealthFinding
{
    HealthFindingKind kind = HealthFindingKind::EmptyPassword;
    // In key order: every entry that shares a reused password, the one entry otherwise.
    std::vector<EntryKey> entries;
    // The password's strength estimate in bits; 0 for an empty password.
    double bits = 0;
};

// How far a running analysis has come, read by a progress indicator on another thread, and a request to stop it.
struct HealthProgress
{
    std::atomic<std::size_t> estimated{0};
    std::atomic<bool> stop{false};
};

// The password health report: entries with an empty password, passwords that more than one entry uses, and weak
// passwords. The constructor takes what it needs from the database on the caller's thread, so that Run can go on
// on another one while the database changes or is locked.
class PasswordHealthAnalysis
{
public:
    explicit PasswordHealthAnalysis(const CDataBase& database);

    // The number of estimates Run makes: each distinct non-empty password once.
    std::size_t DistinctPasswords() const { return uses.size(); }

    // Estimates the passwords on `threads` threads (the caller's among them) and gives the findings weakest first;
    // nothing when stopped.
    std::optional<std::vector<HealthFinding>> Run(HealthProgress& progress, unsigned threads) const;

private:
    struct PasswordUse
    {
        SecureString password;
        std::vector<std::uint32_t> entries; // positions in `keys`
    };

    std::vector<double> EstimateAll(HealthProgress& progress, unsigned threads) const;
    std::vector<EntryKey> KeysOf(const std::vector<std::uint32_t>& positions) const;

    std::vector<EntryKey> keys;
    std::vector<std::uint32_t> emptyPasswords;
    std::vector<PasswordUse> uses;
};

// One thread per processor the system reports, at least one.
unsigned HealthThreadCount();

// The whole report on HealthThreadCount threads, for callers that wait for it.
std::vector<HealthFinding> AnalyzePasswordHealth(const CDataBase& database);
