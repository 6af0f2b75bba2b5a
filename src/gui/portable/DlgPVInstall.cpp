#include "gui/portable/DlgPVInstall.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include "core/settings/BuiltinTexts.h"
#include "gui/common/QtText.h"

namespace {

// Hands the worker's messages to the dialog's thread, which shows them once the worker has ended.
class QueuedReporter : public IMessageReporter
{
public:
    explicit QueuedReporter(CDlgPVInstall& dialog)
        : dialog(dialog)
    {}
    void ShowMessage(const std::u16string& text, MessageIcon icon) override
    {
        emit dialog.messageReady(QString::fromStdU16String(text), static_cast<int>(icon));
    }

private:
    CDlgPVInstall& dialog;
};
} // namespace

CDlgPVInstall::CDlgPVInstall(PortableInstaller installer, const ITextSource& texts, IMessageReporter& reporter,
                             QWidget* parent)
    : QDialog(parent)
    , installer(std::move(installer))
    , reporter(reporter)
    , progress(new QProgressBar(this))
{
    setWindowTitle(QtText(texts, TextId::InstallInProgress));
    progress->setObjectName(QStringLiteral("progress"));
    progress->setRange(0, 100);
    progress->setValue(0);
    progress->setMinimumWidth(320);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QtText(texts, TextId::Cancel));
    connect(buttons, &QDialogButtonBox::rejected, this, &CDlgPVInstall::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(progress);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(this, &CDlgPVInstall::progressChanged, progress, &QProgressBar::setValue, Qt::QueuedConnection);
    connect(
        this, &CDlgPVInstall::messageReady, this,
        [this](const QString& text, int icon) { messages.emplace_back(text.toStdU16String(), MessageIcon(icon)); },
        Qt::QueuedConnection);
}

CDlgPVInstall::~CDlgPVInstall()
{
    if (worker != nullptr) {
        stop = true;
        worker->wait();
    }
}

void CDlgPVInstall::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (worker == nullptr) {
        Start();
    }
}

void CDlgPVInstall::Start()
{
    running = true;
    worker = QThread::create([this] {
        QueuedReporter queued(*this);
        succeeded = installer.Run(queued, stop, [this](int percent) { emit progressChanged(percent); });
    });
    worker->setParent(this);
    // Delivered after every signal the worker sent before it ended, as all of them are queued to this thread.
    connect(worker, &QThread::finished, this, &CDlgPVInstall::Finished, Qt::QueuedConnection);
    worker->start();
}

void CDlgPVInstall::Finished()
{
    running = false;
    worker->wait();
    done(succeeded ? QDialog::Accepted : QDialog::Rejected);
    for (const auto& [text, icon] : messages) {
        reporter.ShowMessage(text, icon);
    }
}

void CDlgPVInstall::reject()
{
    stop = true;
    if (!running) {
        QDialog::reject();
    }
}

void CDlgPVInstall::closeEvent(QCloseEvent* event)
{
    stop = true;
    if (running) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
