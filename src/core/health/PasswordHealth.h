#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/database/DataBase.h"

enum class HealthFindingKind
{
    EmptyPassword,
    ReusedPassword,
    WeakPassword,
    // The master password falls to an offline attack on the file in less than a century; names no entry.
    WeakMasterPassword,
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

// The password health report: a weak master password first, then entries with an empty password, passwords that more
// than one entry uses, and weak passwords. The constructor takes what it needs from the database on the caller's
// thread, so that Run can go on on another one while the database changes or is locked.
class PasswordHealthAnalysis
{
public:
    // The master password is judged too when it is given.
    explicit PasswordHealthAnalysis(const CDataBase& database,
                                    std::optional<SecureString> masterPassword = std::nullopt);

    // The number of estimates Run makes: each distinct non-empty password once.
    std::size_t DistinctPasswords() const { return uses.size(); }

    // Estimates the passwords on `threads` threads (the caller's among them) and gives the findings weakest first;
    // nothing when stopped.
    std::optional<std::vector<HealthFinding>> Run(HealthProgress& progress, unsigned threads) const;

private:
    // Where a text lies in one of the two buffers below.
    struct Place
    {
        std::size_t start;
        std::size_t length;
    };
    struct KeyPlace
    {
        Place group;
        Place title;
    };
    struct PasswordUse
    {
        Place password;
        std::uint32_t entries;
    };
    static constexpr std::uint32_t NoPassword = UINT32_MAX;

    std::vector<double> EstimateAll(HealthProgress& progress, unsigned threads) const;
    EntryKey KeyAt(std::size_t entry) const;

    // The groups and titles, and the distinct passwords, each run together in one buffer: a few allocations for the
    // whole database instead of several per entry.
    SecureString keyText;
    SecureString passwordText;
    std::vector<KeyPlace> keys;       // by entry, in key order
    std::vector<std::uint32_t> useOf; // by entry: its password in `uses`, or NoPassword
    std::vector<PasswordUse> uses;
    std::optional<SecureString> masterPassword;
};

// One thread per processor the system reports, at least one.
unsigned HealthThreadCount();

// The whole report on HealthThreadCount threads, for callers that wait for it.
std::vector<HealthFinding> AnalyzePasswordHealth(const CDataBase& database,
                                                 std::optional<SecureString> masterPassword = std::nullopt);
