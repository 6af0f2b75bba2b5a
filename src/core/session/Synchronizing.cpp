#include "core/common/Utf.h"
#include "core/database/ConflictCopies.h"
#include "core/database/DatabaseFile.h"
#include "core/database/Synchronize.h"
#include "core/session/DatabaseSession.h"
#include "core/session/SessionTicket.h"
#include "core/settings/BuiltinTexts.h"

// Synchronizing the open database with other files: one the user chooses, and the conflict copies that file
// synchronizing tools leave beside it.

namespace {
std::u16string PathText(const std::filesystem::path& path)
{
    return Utf8ToUtf16(path.string());
}
} // namespace

DatabaseSession::Attempt DatabaseSession::TrySynchronize(SessionTicket& ticket)
{
    SyncSummary summary;
    const std::optional<ChangeResult> synchronized =
        PourOtherFile(ticket, EnterMode::Synchronize,
                      [&summary](CDataBase& into, const std::filesystem::path& path, const SecureString& password) {
                          return SynchronizeFile(into, path, password, summary) == ReadResult::Done;
                      });
    if (!synchronized) {
        return Attempt::Cancelled;
    }
    if (synchronized == ChangeResult::Saved) {
        Report(SyncSummaryText(summary, database.Texts()), MessageIcon::Information);
    }
    return synchronized == ChangeResult::Refused ? Attempt::Retry : Attempt::Done;
}

void DatabaseSession::SynchronizeWithFile(SessionTicket& ticket)
{
    while (TrySynchronize(ticket) == Attempt::Retry) {
    }
}

void DatabaseSession::OfferConflictCopies(IFileTrash& trash)
{
    if (!IsOpen()) {
        return;
    }
    SessionTicket ticket(*this);
    std::vector<std::filesystem::path> copies;
    std::u16string question = database.Texts().Text(TextId::ConflictCopiesFound) + u"\n";
    for (std::filesystem::path& copy : FindConflictCopies(Path())) {
        if (copiesOffered.count(copy) == 0) {
            question += u"\n" + PathText(copy.filename());
            copies.push_back(std::move(copy));
        }
    }
    if (copies.empty()) {
        return;
    }
    const bool synchronize =
        prompts.AskOkCancel(question + u"\n\n" + database.Texts().Text(TextId::SynchronizeCopiesQuestion));
    // An answer given after the database went was not about it: the copies are offered again at the next open.
    if (!ticket.Confirm()) {
        return;
    }
    copiesOffered.insert(copies.begin(), copies.end());
    if (!synchronize) {
        return;
    }
    auto read = ReadConflictCopies(ticket, copies);
    if (read.empty()) {
        return;
    }
    SyncSummary summary;
    const ChangeResult synchronized = ticket.ImportEntries(FileWork::Importing, [&](CDataBase& into) {
        for (auto& [copy, entries] : read) {
            Accumulate(summary, Synchronize(into, entries->Entries()));
        }
        return true;
    });
    if (synchronized != ChangeResult::Saved) {
        return;
    }
    Report(SyncSummaryText(summary, database.Texts()), MessageIcon::Information);
    std::vector<std::filesystem::path> synchronizedCopies;
    for (auto& [copy, entries] : read) {
        synchronizedCopies.push_back(copy);
    }
    // The copies' entries are in the file now: whatever happened to the database during the question, the copies
    // may go.
    if (prompts.AskOkCancel(database.Texts().Text(TextId::MoveCopiesToTrash))) {
        PutInTrash(synchronizedCopies, trash);
    }
}

std::vector<std::pair<std::filesystem::path, std::unique_ptr<FileVersionRead>>>
DatabaseSession::ReadConflictCopies(SessionTicket& ticket, const std::vector<std::filesystem::path>& copies)
{
    std::vector<std::pair<std::filesystem::path, std::unique_ptr<FileVersionRead>>> read;
    for (const std::filesystem::path& copy : copies) {
        auto entries = std::make_unique<FileVersionRead>(database.Texts());
        FileVersionRead::Outcome outcome = FileVersionRead::Outcome::Unreadable;
        work.Run(FileWork::Reading, [&] { outcome = entries->Read(copy, masterPassword); });
        // A copy made before the password was changed on one machine opens only with the other password.
        while (outcome == FileVersionRead::Outcome::WrongPassword) {
            Report(PathText(copy) + u": " + database.Texts().Text(TextId::InvalidPassword), MessageIcon::Warning);
            auto password = prompts.AskPassword(EnterMode::Synchronize, copy);
            if (!password) {
                break;
            }
            if (!ticket.Confirm()) {
                WipeString(*password);
                return {};
            }
            work.Run(FileWork::Reading, [&] { outcome = entries->Read(copy, *password); });
            WipeString(*password);
        }
        if (outcome == FileVersionRead::Outcome::Read) {
            read.emplace_back(copy, std::move(entries));
        } else if (outcome == FileVersionRead::Outcome::Unreadable) {
            Report(PathText(copy) + u": " + entries->Problem(), MessageIcon::Warning);
        }
    }
    return read;
}

void DatabaseSession::PutInTrash(const std::vector<std::filesystem::path>& copies, IFileTrash& trash)
{
    for (const std::filesystem::path& copy : copies) {
        if (trash.MoveToTrash(copy) ||
            !prompts.AskOkCancel(database.Texts().Text(TextId::TrashFailedDelete) + u"\n\n" + PathText(copy))) {
            continue;
        }
        std::error_code error;
        if (!std::filesystem::remove(copy, error) || error) {
            Report(PathText(copy) + u": " + Utf8ToUtf16(error.message()), MessageIcon::Error);
        }
    }
}
