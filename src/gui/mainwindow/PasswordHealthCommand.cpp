#include "gui/mainwindow/PasswordHealthCommand.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <exception>
#include <thread>

#include "core/settings/BuiltinTexts.h"
#include "gui/common/QtText.h"
#include "gui/dialogs/DlgPasswordHealth.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/CommandTable.h"
#include "gui/mainwindow/CommandTicket.h"

namespace {
constexpr int ProgressDelayMs = 500;
constexpr int ProgressTickMs = 50;

// Shows the progress of `progress` until `done`, and asks the analysis to stop on Cancel.
void ShowProgressUntilDone(QEventLoop& loop, const std::atomic<bool>& done, HealthProgress& progress, std::size_t total,
                           const ITextSource& texts, QWidget* parent)
{
    QProgressDialog indicator(QtText(texts, TextId::EstimatingStrength), QtText(texts, TextId::Cancel), 0,
                              static_cast<int>(total), parent);
    indicator.setWindowTitle(QtText(texts, TextId::PasswordHealth));
    indicator.setWindowModality(Qt::ApplicationModal);
    indicator.setMinimumDuration(0);
    indicator.setAutoReset(false);
    QObject::connect(&indicator, &QProgressDialog::canceled, [&progress] { progress.stop = true; });
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout,
                     [&] { indicator.setValue(static_cast<int>(std::min(progress.estimated.load(), total))); });
    tick.start(ProgressTickMs);
    indicator.show();
    while (!done) {
        loop.exec();
    }
}
} // namespace

std::optional<std::vector<HealthFinding>> RunPasswordHealth(const PasswordHealthAnalysis& analysis,
                                                            const ITextSource& texts, QWidget* parent)
{
    HealthProgress progress;
    std::optional<std::vector<HealthFinding>> findings;
    std::exception_ptr failure;
    std::atomic<bool> done{false};
    QEventLoop loop;
    std::jthread worker([&] {
        try {
            findings = analysis.Run(progress, HealthThreadCount());
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // Until the indicator shows, the user's input waits, so that nothing is started meanwhile.
    QTimer::singleShot(ProgressDelayMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!done) {
        ShowProgressUntilDone(loop, done, progress, analysis.DistinctPasswords(), texts, parent);
    }
    worker.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
    return findings;
}

namespace {
// The report of the ticket's database; nothing when it was stopped or the database went meanwhile.
std::optional<std::vector<HealthFinding>> Analyze(CommandTicket& ticket)
{
    // The analysis copies what it needs, so a lock while it runs cannot pull the entries from under it.
    std::optional<PasswordHealthAnalysis> analysis;
    if (!ticket.IsLive() || !ticket.Session().Read([&](const CDataBase& entries) {
            analysis.emplace(entries, ticket.Session().MasterPassword());
        })) {
        return std::nullopt;
    }
    std::optional<std::vector<HealthFinding>> findings = RunPasswordHealth(*analysis, ticket.Texts(), ticket.Window());
    return ticket.IsLive() ? findings : std::nullopt;
}
} // namespace

void ShowPasswordHealth(CommandTicket& ticket)
{
    std::optional<std::vector<HealthFinding>> findings = Analyze(ticket);
    if (!findings) {
        return;
    }
    std::optional<CDlgPasswordHealth> dialog;
    ticket.Session().Read([&](const CDataBase& entries) {
        dialog.emplace(
            entries, ticket.Texts(), std::move(*findings), [&ticket] { return Analyze(ticket); },
            [&ticket](const EntryKey& key) { ticket.Actions().EditEntryOf(key); }, ticket.Window());
    });
    if (dialog) {
        ticket.ExecShowingEntries(*dialog);
    }
}

void AddPasswordHealthCommand(CommandTable& table)
{
    table.Add({CommandId::EditPasswordHealth, Enabled::WithDatabase, ShowPasswordHealth});
}
