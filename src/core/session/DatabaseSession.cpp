#include "core/session/DatabaseSession.h"

#include "core/common/AtomicFile.h"
#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/database/DatabaseSize.h"
#include "core/database/FileReplacedCheck.h"
#include "core/database/Merge.h"
#include "core/importexport/TextExport.h"
#include "core/session/FileVersionRead.h"
#include "core/session/SessionTicket.h"
#include "core/settings/BuiltinTexts.h"

namespace {
constexpr int MergeTip = 1;
// A save merges another program's version at most this often before it gives up: a sync tool that rewrites the file
// faster than it can be read and merged would otherwise keep the save going for ever.
constexpr int SaveTries = 4;
constexpr char16_t BackupExtension[] = u".bak";

std::u16string PathText(const std::filesystem::path& path)
{
    return Utf8ToUtf16(path.string());
}
} // namespace

DatabaseSession::DatabaseSession(CDataBase& database, std::u16string& lastPath, IPrompts& prompts, ISessionView& view,
                                 IDatabaseFileHandle& handle, IBackgroundWork& work)
    : database(database)
    , lastPath(lastPath)
    , prompts(prompts)
    , view(view)
    , handle(handle)
    , work(work)
{}

std::filesystem::path DatabaseSession::Path() const
{
    return std::filesystem::path(Utf16ToUtf8(lastPath));
}

std::u16string DatabaseSession::FileName() const
{
    const auto slash = lastPath.find_last_of(u'/');
    return slash == std::u16string::npos ? lastPath : lastPath.substr(slash + 1);
}

std::u16string DatabaseSession::Folder() const
{
    const auto slash = lastPath.find_last_of(u'/');
    return slash == std::u16string::npos ? std::u16string() : lastPath.substr(0, slash + 1);
}

void DatabaseSession::Report(const std::u16string& text, MessageIcon icon)
{
    database.Reporter().ShowMessage(text, icon);
}

bool DatabaseSession::AskToCloseOpenDatabase()
{
    if (lastPath.empty()) {
        return true;
    }
    const std::uint64_t asked = generation;
    if (!prompts.AskOkCancel(database.Texts().Text(TextId::CloseCurrentDatabase))) {
        return false;
    }
    // The answer was about the database shown when it was asked.
    if (generation != asked) {
        ReportDatabaseGone();
        return false;
    }
    CloseDatabase();
    return true;
}

void DatabaseSession::Hold(const std::filesystem::path& path)
{
    handle.Open(path);
    versionHeld = handle.HeldVersion();
    collectionTextBytes.reset();
    versionNotFollowed.reset();
}

void DatabaseSession::CollectionReplaced()
{
    // The one place a new generation starts: whatever replaces the collection as a whole (an open, a close, a lock,
    // another program's version followed) ends every ticket taken on the entries before it, so that a dialog opened
    // on them cannot write them over the new ones.
    ++generation;
    merging.ForgetBase();
}

void DatabaseSession::BeforeChange()
{
    // The first change after an open fingerprints every entry, a second's work at a million entries: it runs where
    // the window goes on painting, like the save that follows.
    if (!merging.HasBase()) {
        work.Run(FileWork::Saving, [&] { merging.TakeBase(database); });
    }
}

WriteResult DatabaseSession::WriteHeldFile(const SecureString& password)
{
    // Another Lockmere can replace the file only in the moments it is not held here: while it is read, and around
    // our own saves. Writing over a version we never read would silently undo that program's change.
    const auto check = [this](const struct stat* existing) {
        RefuseIfReplaced(existing, versionHeld);
        damaged.KeepBeforeReplacing(database.Texts());
    };
    std::optional<UnchangedPrefix> unchanged;
    if (collectionTextBytes && versionHeld && password == masterPassword) {
        unchanged = UnchangedPrefix{{*versionHeld, *collectionTextBytes}, database.FirstChangedKey()};
    }
    handle.Close();
    DatabaseFileText written;
    const WriteResult result =
        WriteDatabaseUnlessReplaced(database, Path(), password, {check}, &written, unchanged ? &*unchanged : nullptr);
    if (result != WriteResult::Written) {
        return result;
    }
    // The version we wrote, not whatever the path shows once it is held again: a program that replaced the file in
    // between would otherwise have its change taken for ours and undone by the next save.
    handle.Open(Path());
    versionHeld = written.version;
    collectionTextBytes = written.textBytes;
    database.ForgetChanges();
    return WriteResult::Written;
}

void DatabaseSession::ShowOpened(const std::filesystem::path& path)
{
    CollectionReplaced();
    view.FillViews();
    view.ShowPath(PathText(path));
    view.EnableCommands(true);
}

int DatabaseSession::ReadInBackground(const std::filesystem::path& path, RecordsRead& read, bool& textOfCollection)
{
    int result = ReadResult::Failed;
    work.Run(FileWork::Opening, [&] {
        result = ReadDatabase(database, path, masterPassword, &read);
        if (result == ReadResult::Done) {
            RemoveStaleTemporaryFilesBeside(path);
            // It walks every entry, a tenth of a second at a million: here, not where the window paints.
            textOfCollection = IsTextOfCollection(database, read);
        }
    });
    return result;
}

WriteResult DatabaseSession::WriteHeldFileInBackground(const SecureString& password)
{
    WriteResult written = WriteResult::Failed;
    work.Run(FileWork::Saving, [&] { written = WriteHeldFile(password); });
    return written;
}

void DatabaseSession::ReportDatabaseGone()
{
    Report(database.Texts().Text(TextId::DatabaseGoneDuringDialog), MessageIcon::Warning);
}

void DatabaseSession::ClearCollection()
{
    CollectionReplaced();
    // The views read the collection in place: they let go of their rows before the entries go.
    view.ClearViews();
    work.Run(FileWork::Closing, [this] { database.Clear(); });
}

void DatabaseSession::CloseDatabase()
{
    handle.Close();
    damaged.Forget();
    ClearCollection();
    lastPath.clear();
    view.EnableCommands(false);
}

DatabaseSession::Attempt DatabaseSession::TryCreate()
{
    if (!AskToCloseOpenDatabase()) {
        return Attempt::Cancelled;
    }
    const auto path = prompts.ChooseFileToSave(u"lockmere.ldb");
    if (!path) {
        return Attempt::Cancelled;
    }
    auto password = prompts.AskNewPassword(SetPasswordMode::NewDatabase);
    if (!password) {
        return Attempt::Cancelled;
    }
    masterPassword = std::move(*password);
    lastPath = PathText(*path);
    damaged.Forget();
    // The collection is empty here: either nothing was open or CloseDatabase has just cleared it.
    if (!WriteDatabase(database, *path, masterPassword)) {
        lastPath.clear();
        WipeString(masterPassword);
        return Attempt::Retry;
    }
    Hold(*path);
    ShowOpened(*path);
    return Attempt::Done;
}

void DatabaseSession::CreateDatabase()
{
    while (TryCreate() == Attempt::Retry) {
    }
}

DatabaseSession::Attempt DatabaseSession::TryOpen()
{
    if (!AskToCloseOpenDatabase()) {
        return Attempt::Cancelled;
    }
    const auto path = prompts.ChooseFileToOpen();
    if (!path) {
        return Attempt::Cancelled;
    }
    return OpenChosenFile(*path) ? Attempt::Done : Attempt::Retry;
}

bool DatabaseSession::OpenChosenFile(const std::filesystem::path& path)
{
    isLocked = true;
    const bool opened = OpenWithPassword(path);
    isLocked = false;
    if (opened) {
        lastPath = PathText(path);
    }
    return opened;
}

bool DatabaseSession::OpenFile(const std::filesystem::path& path)
{
    if (opening) {
        return false;
    }
    std::error_code error;
    if (!lastPath.empty() && std::filesystem::equivalent(Path(), path, error)) {
        return true;
    }
    // Looked at before anything else, so that a mistyped name never costs the user the open database or a password.
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (!std::filesystem::is_regular_file(status)) {
        const std::string reason = error ? error.message()
                                   : status.type() == std::filesystem::file_type::not_found
                                       ? "No such file or directory"
                                       : "Not a regular file";
        Report(database.Texts().Text(TextId::FileNotOpened) + u" " + PathText(path) + u" (" + Utf8ToUtf16(reason) +
                   u")",
               MessageIcon::Error);
        return false;
    }
    if (!AskToCloseOpenDatabase()) {
        return false;
    }
    return OpenChosenFile(path);
}

void DatabaseSession::OpenDatabase()
{
    Attempt attempt = Attempt::Retry;
    while ((attempt = TryOpen()) == Attempt::Retry) {
    }
    if (attempt == Attempt::Done) {
        Opened();
    }
}

void DatabaseSession::Opened()
{
    if (copiesTrash != nullptr && IsOpen()) {
        OfferConflictCopies(*copiesTrash);
    }
}

bool DatabaseSession::OpenWithPassword(const std::filesystem::path& path)
{
    // The prompt runs its own event loop, in which the window may ask to unlock or lock again.
    opening = true;
    const bool opened = AskPasswordAndRead(path);
    opening = false;
    return opened;
}

bool DatabaseSession::AskPasswordAndRead(const std::filesystem::path& path)
{
    // No password can open a file of such a size: asking for one would only lead to "Invalid password.".
    if (const std::optional<std::u16string> problem = NotADatabaseProblem(database.Texts(), path)) {
        Report(*problem, MessageIcon::Error);
        return false;
    }
    for (;;) {
        auto password = prompts.AskPassword(EnterMode::Open, path);
        if (!password) {
            return false;
        }
        masterPassword = std::move(*password);
        const std::optional<FileVersion> versionRead = FileVersion::At(path);
        RecordsRead read;
        bool textOfCollection = false;
        int result = ReadInBackground(path, read, textOfCollection);
        if (result == ReadResult::Done) {
            Hold(path);
            if (versionHeld != versionRead) {
                // Replaced while it was read: read the version now held, which nobody else can replace.
                ClearCollection();
                read = RecordsRead{};
                result = ReadInBackground(path, read, textOfCollection);
            }
        }
        if (result == ReadResult::Done) {
            if (textOfCollection) {
                collectionTextBytes = read.textBytes;
            }
            database.ForgetChanges();
            ShowOpened(path);
            damaged.Opened(database, path, read);
            return true;
        }
        // Whatever a failed read may have inserted must not be shown as if it were the database.
        handle.Close();
        ClearCollection();
        if (result != ReadResult::InvalidPassword) {
            return false;
        }
    }
}

bool DatabaseSession::SaveAndReopen()
{
    return Save(masterPassword, std::nullopt) == SaveOutcome::Saved;
}

DatabaseSession::SaveOutcome DatabaseSession::Save(const SecureString& password,
                                                   const std::optional<std::vector<EntryKey>>& touched)
{
    for (int attempt = 1;; ++attempt) {
        const WriteResult written = WriteHeldFileInBackground(password);
        if (written == WriteResult::Written) {
            break;
        }
        if (written == WriteResult::Failed) {
            return FinishFailedSave();
        }
        if (attempt == SaveTries || !merging.HasBase()) {
            Report(FileReplacedMessage, MessageIcon::Error);
            return FinishFailedSave();
        }
        FileVersionRead::Outcome read = FileVersionRead::Outcome::Unreadable;
        work.Run(FileWork::Reading, [&] { read = merging.ReadTheirs(Path(), masterPassword, database.Texts()); });
        if (read != FileVersionRead::Outcome::Read) {
            Report(merging.RefusalText(read), MessageIcon::Error);
            return FinishFailedSave();
        }
        MergeTheirs();
    }
    const std::u16string conflicts = ConflictReport(merging.Conflicts(), database.Texts());
    const bool merged = merging.Merged();
    merging.Finish(true, database);
    if (!merged) {
        merging.Saved(database, touched);
    }
    view.FillViews();
    if (!conflicts.empty()) {
        Report(conflicts, MessageIcon::Warning);
    }
    return SaveOutcome::Saved;
}

void DatabaseSession::MergeTheirs()
{
    merging.MergeInto(database);
    // The views read the entries in place: they show the merged collection before anything else runs.
    view.ShowChangedEntries();
    versionHeld = merging.TheirVersion();
    collectionTextBytes.reset();
    // The version merged was read whole, so whatever damaged original the file was is gone already.
    damaged.Forget();
}

DatabaseSession::SaveOutcome DatabaseSession::FinishFailedSave()
{
    if (!merging.Merged()) {
        merging.Finish(false, database);
        return SaveOutcome::NotSaved;
    }
    // The views let go of the merged entries before the version in the file takes their place.
    view.ClearViews();
    merging.Finish(false, database);
    view.FillViews();
    view.ShowPath(PathText(Path()));
    return SaveOutcome::NotSavedCollectionRestored;
}

void DatabaseSession::ReopenAfterFailedSave()
{
    // A failed write leaves the old file whole, so it is held again at once rather than left open to other
    // writers until the next successful save. A vanished file simply stays unheld. The version held stays the one
    // read, so that a file another program replaced meanwhile is still not written over.
    handle.Open(Path());
}

ChangeResult DatabaseSession::SaveOrUndo(const std::function<void()>& undo,
                                         const std::optional<std::vector<EntryKey>>& touched)
{
    const SaveOutcome saved = Save(masterPassword, touched);
    if (saved == SaveOutcome::Saved) {
        return ChangeResult::Saved;
    }
    if (saved == SaveOutcome::NotSaved) {
        undo();
    }
    ReopenAfterFailedSave();
    return ChangeResult::NotSaved;
}

ChangeResult DatabaseSession::AddEntry(const EntryKey& key, const EntryFields& fields)
{
    BeforeChange();
    if (!database.Add(key, fields)) {
        return ChangeResult::Refused;
    }
    // An insertion leaves every listed row where it is, so the views need no refresh before the save reports.
    return SaveOrUndo([&] { database.Remove(key); }, std::vector<EntryKey>{key});
}

ChangeResult DatabaseSession::ReplaceEntry(const EntryKey& oldKey, const EntryKey& newKey, const EntryFields& fields)
{
    BeforeChange();
    const std::optional<Entry> before = database.Find(oldKey);
    if (!before || !database.Replace(newKey, oldKey, fields)) {
        return ChangeResult::Refused;
    }
    // The replaced entry's row is gone from the collection: the views must not show it while the save reports.
    view.ShowChangedEntries();
    const ChangeResult result =
        SaveOrUndo([&] { database.Replace(before->Key(), newKey, before->Fields()); }, std::vector{oldKey, newKey});
    view.ShowChangedEntries();
    return result;
}

ChangeResult DatabaseSession::RemoveEntry(const EntryKey& key)
{
    BeforeChange();
    const std::optional<Entry> removed = database.Find(key);
    if (!removed || database.Remove(key) != 1) {
        return ChangeResult::Refused;
    }
    view.ShowChangedEntries();
    const ChangeResult result =
        SaveOrUndo([&] { database.Add(removed->Key(), removed->Fields()); }, std::vector<EntryKey>{key});
    if (result == ChangeResult::NotSaved) {
        view.FillViews();
    }
    view.ShowChangedEntries();
    return result;
}

ChangeResult DatabaseSession::ImportEntries(const std::function<bool(CDataBase&)>& import)
{
    BeforeChange();
    if (!import(database)) {
        return ChangeResult::Refused;
    }
    // The imported entries stay in memory; the next successful save writes them too.
    return SaveOrUndo([] {}, std::nullopt);
}

void DatabaseSession::CreateBackup()
{
    SessionTicket ticket(*this);
    const auto path = prompts.ChooseFileToSave(FileName() + BackupExtension);
    if (!path) {
        return;
    }
    bool written = false;
    if (!ticket.Work(FileWork::Saving,
                     [&](CDataBase& entries) { written = WriteDatabase(entries, *path, masterPassword); })) {
        return;
    }
    if (written) {
        Report(database.Texts().Text(TextId::BackupCreated) + u" " + PathText(*path), MessageIcon::Information);
    }
}

void DatabaseSession::ChangeMasterPassword()
{
    SessionTicket ticket(*this);
    auto old = prompts.AskPassword(EnterMode::OldPassword, Path());
    if (!old) {
        return;
    }
    if (!ticket.Confirm()) {
        WipeString(*old);
        return;
    }
    const bool matches = *old == masterPassword;
    WipeString(*old);
    if (!matches) {
        Report(database.Texts().Text(TextId::InvalidPassword), MessageIcon::Warning);
        return;
    }
    auto fresh = prompts.AskNewPassword(SetPasswordMode::Change);
    if (!fresh) {
        return;
    }
    if (!ticket.Confirm()) {
        WipeString(*fresh);
        return;
    }
    Rekey(std::move(*fresh));
}

bool DatabaseSession::Rekey(SecureString fresh)
{
    BeforeChange();
    if (Save(fresh, std::vector<EntryKey>{}) == SaveOutcome::Saved) {
        masterPassword = std::move(fresh);
        return true;
    }
    // The file is still under the old password, so the old one stays the master password: otherwise the next
    // unrelated save would silently re-key the file to a password whose change was reported as failed.
    WipeString(fresh);
    ReopenAfterFailedSave();
    return false;
}

void DatabaseSession::Lock()
{
    // While a password prompt is up, nothing is open that could be locked, and the prompt's read must not lose
    // its entries afterwards.
    if (opening) {
        return;
    }
    isLocked = true;
    ClearCollection();
    view.EnableCommands(false);
}

bool DatabaseSession::Unlock()
{
    if (opening) {
        return false;
    }
    handle.Close();
    const bool opened = OpenWithPassword(Path());
    if (!opened) {
        lastPath.clear();
        ClearCollection();
        view.EnableCommands(false);
    }
    isLocked = false;
    if (opened) {
        Opened();
    }
    return opened;
}

void DatabaseSession::StartupOpen(bool openLastDatabase)
{
    if (opening) {
        return;
    }
    std::error_code error;
    if (!openLastDatabase || lastPath.empty() || !std::filesystem::is_regular_file(Path(), error)) {
        // Nothing is loaded, so nothing may look open: New and Open would otherwise ask to close it.
        lastPath.clear();
        return;
    }
    isLocked = true;
    if (!OpenWithPassword(Path())) {
        lastPath.clear();
    }
    isLocked = false;
    Opened();
}

std::optional<ChangeResult> DatabaseSession::PourOtherFile(SessionTicket& ticket, EnterMode mode, const PourFile& pour)
{
    // A file that was not read asks again: the database may have gone during the message that said so.
    if (!ticket.Confirm()) {
        return std::nullopt;
    }
    const auto path = prompts.ChooseFileToOpen();
    if (!path || !ticket.Confirm()) {
        return std::nullopt;
    }
    auto password = prompts.AskPassword(mode, *path);
    if (!password) {
        return std::nullopt;
    }
    if (!ticket.Confirm()) {
        WipeString(*password);
        return std::nullopt;
    }
    const ChangeResult poured =
        ticket.ImportEntries(FileWork::Importing, [&](CDataBase& into) { return pour(into, *path, *password); });
    WipeString(*password);
    return poured;
}

DatabaseSession::Attempt DatabaseSession::TryMerge(SessionTicket& ticket)
{
    prompts.ShowTip(MergeTip, TextId::BackupBeforeImportTip);
    if (!ticket.Confirm()) {
        return Attempt::Cancelled;
    }
    const std::optional<ChangeResult> merged = PourOtherFile(
        ticket, EnterMode::Merge, [](CDataBase& into, const std::filesystem::path& path, const SecureString& password) {
            return MergeDatabase(into, path, password);
        });
    if (!merged) {
        return Attempt::Cancelled;
    }
    return merged == ChangeResult::Refused ? Attempt::Retry : Attempt::Done;
}

void DatabaseSession::MergeImport()
{
    SessionTicket ticket(*this);
    while (TryMerge(ticket) == Attempt::Retry) {
    }
}

void DatabaseSession::ExportListing(ListingFormat format)
{
    SessionTicket ticket(*this);
    const bool html = format == ListingFormat::Html;
    const auto path = prompts.ChooseFileToSave(FileName() + (html ? u".html" : u".txt"));
    if (!path) {
        return;
    }
    bool written = false;
    if (!ticket.Work(FileWork::Exporting, [&](CDataBase& entries) {
            written = html ? ExportHtml(entries, *path) : ExportTextListing(entries, *path);
        })) {
        return;
    }
    if (written) {
        Report(database.Texts().Text(html ? TextId::HtmlFileCreated : TextId::TextFileCreated) + u" " + PathText(*path),
               MessageIcon::Information);
    }
}
