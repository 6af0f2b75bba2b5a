#include "gui/mainwindow/ProgressWork.h"

#include <QApplication>
#include <QEventLoop>
#include <QScopedValueRollback>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <exception>
#include <memory>
#include <thread>

#include "core/settings/BuiltinTexts.h"
#include "gui/common/QtText.h"
#include "gui/dialogs/DlgWorkProgress.h"
#include "platform/ThreadPriority.h"

namespace {
int ProgressTextId(FileWork kind)
{
    switch (kind) {
    case FileWork::Opening:
        return TextId::OpeningProgress;
    case FileWork::Saving:
        return TextId::SavingProgress;
    case FileWork::Importing:
        return TextId::ImportingProgress;
    case FileWork::Listing:
        return TextId::ListingProgress;
    case FileWork::Closing:
        return TextId::ClosingProgress;
    case FileWork::Reading:
        return TextId::ReadingProgress;
    case FileWork::Exporting:
        break;
    }
    return TextId::ExportingProgress;
}
} // namespace

ProgressWork::ProgressWork(const ITextSource& texts, QWidget* window, std::chrono::milliseconds showAfter)
    : texts(texts)
    , window(window)
    , showAfter(showAfter)
{}

QWidget* ProgressWork::DialogParent() const
{
    QWidget* modal = QApplication::activeModalWidget();
    return modal != nullptr ? modal : window;
}

void ProgressWork::Run(FileWork kind, const std::function<void()>& work)
{
    // There is one worker: work started from within work, or from another thread, runs where it is.
    if (running || QThread::currentThread() != QCoreApplication::instance()->thread()) {
        work();
        return;
    }
    const QScopedValueRollback<bool> busy(running, true);
    std::exception_ptr failure;
    std::atomic<bool> done{false};
    QEventLoop loop;
    std::thread worker([&] {
        ScheduleAsBatchWork();
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });

    QTimer showTimer;
    showTimer.setSingleShot(true);
    QObject::connect(&showTimer, &QTimer::timeout, &loop, &QEventLoop::quit);
    showTimer.start(showAfter);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    std::unique_ptr<CDlgWorkProgress> progress;
    if (!done) {
        progress = std::make_unique<CDlgWorkProgress>(QtText(texts, ProgressTextId(kind)), DialogParent());
        progress->show();
        while (!done) {
            loop.exec();
        }
    }
    worker.join();
    progress.reset();
    if (failure) {
        std::rethrow_exception(failure);
    }
}
