#include "gui/mainwindow/PasswordHealthCommand.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <exception>
#include <thread>

#include "core/session/DatabaseSession.h"
#include "core/settings/BuiltinTexts.h"
#include "gui/common/QtText.h"
#include "gui/dialogs/DlgPasswordHealth.h"

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

std::optional<std::vector<HealthFinding>> RunPasswordHealth(const CDataBase& database,
                                                            const SecureString& masterPassword,
                                                            const ITextSource& texts, QWidget* parent)
{
    // The analysis copies what it needs first, so a lock while it runs cannot pull the entries from under it.
    const PasswordHealthAnalysis analysis(database, masterPassword);
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

void ShowPasswordHealth(const PasswordHealthContext& context)
{
    if (!context.session.IsOpen()) {
        return;
    }
    const std::uint64_t startedWith = context.session.Generation();
    auto analyze = [&context, startedWith]() -> std::optional<std::vector<HealthFinding>> {
        auto stillOpen = [&] { return context.session.IsOpen() && context.session.Generation() == startedWith; };
        if (!stillOpen()) {
            return std::nullopt;
        }
        std::optional<std::vector<HealthFinding>> findings =
            RunPasswordHealth(context.database, context.session.MasterPassword(), context.texts, context.parent);
        return stillOpen() ? findings : std::nullopt;
    };
    std::optional<std::vector<HealthFinding>> findings = analyze();
    if (!findings) {
        return;
    }
    CDlgPasswordHealth dialog(context.database, context.texts, std::move(*findings), analyze, context.openEntry,
                              context.parent);
    dialog.exec();
}
