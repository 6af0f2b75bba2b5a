#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>

#include "core/database/DataBase.h"

// What a collection held at one moment, kept without a second copy of its secrets: for each key a keyed digest of
// the key and one of the whole entry. Enough to tell, key by key, whether a later collection changed an entry, added
// it or removed it. The digests are keyed with a random key of this table's own, so they cannot be looked up against
// guessed passwords.
class EntryFingerprints
{
public:
    using Digest = std::array<std::uint64_t, 2>;

    EntryFingerprints();
    ~EntryFingerprints();
    EntryFingerprints(EntryFingerprints&&) noexcept;
    EntryFingerprints& operator=(EntryFingerprints&&) noexcept;
    // The fingerprints of every entry of `database`.
    static EntryFingerprints Of(const CDataBase& database);

    // The digest of the entry under `key` when the fingerprints were taken; nullopt when there was none.
    std::optional<Digest> EntryDigest(const EntryKey& key) const;
    Digest DigestOf(const EntryKey& key, const EntryFields& fields) const;
    // Takes the entry now under `key` in `database` (or its absence) into the fingerprints.
    void Update(const CDataBase& database, const EntryKey& key);
    std::size_t Size() const { return entries.size(); }

private:
    struct DigestHash
    {
        std::size_t operator()(const Digest& digest) const { return static_cast<std::size_t>(digest[0]); }
    };
    struct Context;
    struct ContextDeleter
    {
        void operator()(Context* context) const;
    };
    Digest KeyDigest(const EntryKey& key) const;

    std::array<unsigned char, 32> secret{};
    // One digest context for every digest of this table: one allocation, not one per entry.
    std::unique_ptr<Context, ContextDeleter> context;
    std::unordered_map<Digest, Digest, DigestHash> entries;
};
