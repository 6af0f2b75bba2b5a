#pragma once

#include <QDialog>
#include <atomic>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/common/Reporter.h"
#include "core/portable/PortableInstaller.h"

class QProgressBar;
class QThread;

// Runs a portable installation on a worker thread while showing its progress, with Cancel. The worker reaches the
// dialog only through queued signals, and the dialog stays open until its worker has ended, so that no second
// installation can start beside a running one.
class CDlgPVInstall : public QDialog
{
    Q_OBJECT
public:
    CDlgPVInstall(PortableInstaller installer, const ITextSource& texts, IMessageReporter& reporter,
                  QWidget* parent = nullptr);
    ~CDlgPVInstall() override;

    // Asks the worker to stop; the dialog closes once it has.
    void reject() override;
    bool IsRunning() const { return running; }

signals:
    void progressChanged(int percent);
    void messageReady(const QString& text, int icon);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Start();
    void Finished();

    PortableInstaller installer;
    IMessageReporter& reporter;
    QProgressBar* progress;
    QThread* worker = nullptr;
    std::atomic<bool> stop{false};
    bool running = false;
    bool succeeded = false;
    std::vector<std::pair<std::u16string, MessageIcon>> messages;
};
