#include "core/database/EntryFingerprints.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <cstring>
#include <new>
#include <stdexcept>

struct EntryFingerprints::Context
{
    EVP_MD_CTX* digest = EVP_MD_CTX_new();
};

void EntryFingerprints::ContextDeleter::operator()(Context* context) const
{
    EVP_MD_CTX_free(context->digest);
    delete context;
}

namespace {
// A field's length before its units, so that no two different entries give the same stream of bytes.
void Feed(EVP_MD_CTX* digest, const SecureString& field)
{
    const std::uint64_t units = field.size();
    EVP_DigestUpdate(digest, &units, sizeof units);
    EVP_DigestUpdate(digest, field.data(), field.size() * sizeof(char16_t));
}
} // namespace

EntryFingerprints::EntryFingerprints()
    : context(new Context)
{
    if (context->digest == nullptr || RAND_bytes(secret.data(), static_cast<int>(secret.size())) != 1) {
        throw std::bad_alloc();
    }
}

EntryFingerprints::~EntryFingerprints()
{
    OPENSSL_cleanse(secret.data(), secret.size());
}

EntryFingerprints::EntryFingerprints(EntryFingerprints&&) noexcept = default;
EntryFingerprints& EntryFingerprints::operator=(EntryFingerprints&&) noexcept = default;

EntryFingerprints EntryFingerprints::Of(const CDataBase& database)
{
    EntryFingerprints fingerprints;
    fingerprints.entries.reserve(database.Size());
    for (const auto& [key, fields] : database) {
        fingerprints.entries.emplace(fingerprints.KeyDigest(key), fingerprints.DigestOf(key, fields));
    }
    return fingerprints;
}

EntryFingerprints::Digest EntryFingerprints::KeyDigest(const EntryKey& key) const
{
    return DigestOf(key, {});
}

EntryFingerprints::Digest EntryFingerprints::DigestOf(const EntryKey& key, const EntryFields& fields) const
{
    EVP_MD_CTX* digest = context->digest;
    if (EVP_DigestInit_ex(digest, EVP_sha256(), nullptr) != 1) {
        throw std::bad_alloc();
    }
    EVP_DigestUpdate(digest, secret.data(), secret.size());
    for (const SecureString* field :
         {&key.group, &key.title, &fields.username, &fields.password, &fields.url, &fields.notes}) {
        Feed(digest, *field);
    }
    unsigned char bytes[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_DigestFinal_ex(digest, bytes, &size);
    Digest result{};
    std::memcpy(result.data(), bytes, sizeof result);
    OPENSSL_cleanse(bytes, sizeof bytes);
    return result;
}

std::optional<EntryFingerprints::Digest> EntryFingerprints::EntryDigest(const EntryKey& key) const
{
    const auto found = entries.find(KeyDigest(key));
    if (found == entries.end()) {
        return std::nullopt;
    }
    return found->second;
}

void EntryFingerprints::Update(const CDataBase& database, const EntryKey& key)
{
    const Digest keyDigest = KeyDigest(key);
    const auto now = database.LowerBound(key);
    if (now == database.end() || !(now->first == key)) {
        entries.erase(keyDigest);
        return;
    }
    entries[keyDigest] = DigestOf(key, now->second);
}
