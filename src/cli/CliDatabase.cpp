#include "cli/CliDatabase.h"

#include "cli/CliCommand.h"
#include "cli/Confirmation.h"
#include "cli/FileChecks.h"
#include "core/common/CaseFold.h"
#include "core/common/Utf.h"

namespace {
// The one key that equals `key` when case is ignored; none when there is no such key or more than one.
std::optional<EntryKey> OnlyKeyIgnoringCase(const CDataBase& entries, const EntryKey& key)
{
    const SecureString group = CaseFolded(key.group);
    const SecureString title = CaseFolded(key.title);
    std::optional<EntryKey> found;
    for (const auto& [candidate, fields] : entries) {
        if (CaseFolded(candidate.group) == group && CaseFolded(candidate.title) == title) {
            if (found) {
                return std::nullopt;
            }
            found = candidate;
        }
    }
    return found;
}
} // namespace

CCliDatabase::CCliDatabase(CliContext& context, std::filesystem::path path)
    : context(context)
    , path(std::move(path))
    , entries(context.reporter, context.texts)
    , prompts(context, this->path)
    , session(entries, openPath, prompts, views, file)
{}

void CCliDatabase::Open(bool forChange)
{
    if (forChange) {
        RequireChangeableDatabase(path);
    } else {
        RequireReadableFile(path);
    }
    if (!session.OpenWithPassword(path)) {
        prompts.RethrowReadFailure();
        throw CliFailure("", prompts.PasswordRefused() ? ExitCode::InvalidPassword : ExitCode::Failed);
    }
    openPath = Utf8ToUtf16(path.string());
}

void CCliDatabase::FailNotSaved() const
{
    // The general message has been shown; the file and the reason follow when they can be told.
    throw CliFailure(ReplaceProblem(path).value_or(""));
}

void CCliDatabase::Require(ChangeResult result) const
{
    if (result == ChangeResult::Refused) {
        throw CliFailure("");
    }
    if (result == ChangeResult::NotSaved) {
        FailNotSaved();
    }
}

void CCliDatabase::Add(const EntryKey& key, const EntryFields& fields)
{
    Require(session.AddEntry(key, fields));
}

void CCliDatabase::Replace(const EntryKey& oldKey, const EntryKey& newKey, const EntryFields& fields)
{
    Require(session.ReplaceEntry(oldKey, newKey, fields));
}

void CCliDatabase::Remove(const EntryKey& key)
{
    Require(session.RemoveEntry(key));
}

bool CCliDatabase::Import(const std::function<bool(CDataBase&)>& import)
{
    const ChangeResult result = session.ImportEntries(import);
    if (result == ChangeResult::NotSaved) {
        FailNotSaved();
    }
    return result == ChangeResult::Saved;
}

void CCliDatabase::Rekey(SecureString fresh)
{
    if (!session.Rekey(std::move(fresh))) {
        FailNotSaved();
    }
}

Entry CCliDatabase::RequireEntry(const EntryKey& key) const
{
    if (std::optional<Entry> entry = entries.Find(key)) {
        return std::move(*entry);
    }
    const SecureUtf8 group = EscapeField(key.group);
    const SecureUtf8 title = EscapeField(key.title);
    std::string message = "There is no entry with the group \"" + std::string(group.begin(), group.end()) +
                          "\" and the title \"" + std::string(title.begin(), title.end()) + "\".";
    if (const std::optional<EntryKey> near = OnlyKeyIgnoringCase(entries, key)) {
        message += " Did you mean " + KeyText(*near) + "?";
    }
    throw CliFailure(message);
}
