#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <deque>
#include <functional>
#include <string>
#include <vector>

// Plays the user's part in modal dialogs: each step runs on the next modal window that opens, in order. Records
// each dialog's window title so a test can check which dialogs appeared. A dialog with no step left is cancelled
// and recorded with "unexpected: " before its title, so a test never hangs.
class ModalDriver : public QObject
{
    Q_OBJECT
public:
    using Step = std::function<void(QWidget* dialog)>;

    ModalDriver();
    void Then(Step step) { steps.push_back(std::move(step)); }
    bool Finished() const { return steps.empty(); }
    // Drops the steps no dialog has taken, so that the next command starts with a clean script.
    void Forget() { steps.clear(); }

    std::vector<QString> titles;

private:
    void Poll();

    QTimer timer;
    std::deque<Step> steps;
    // A guarded pointer: a dialog made anew often lands at the address of the one just destroyed.
    QPointer<QWidget> handled;
    // The dialogs whose steps are running, innermost last.
    std::vector<QPointer<QWidget>> running;
};

// Receives the addresses the program hands to the desktop, instead of a browser or file manager, while it lives.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    UrlCatcher();
    ~UrlCatcher() override;

    std::vector<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened.push_back(url); }
};

// Makes sure the one QApplication of the test program exists.
void EnsureApplication();

// As the first member of a fixture, makes the application exist before any widget member is built.
struct ApplicationFirst
{
    ApplicationFirst() { EnsureApplication(); }
};

// Common steps.
ModalDriver::Step TypePasswords(const QString& password, const QString& repeat);
ModalDriver::Step TypePassword(const QString& password);
ModalDriver::Step ChooseFile(const std::string& path);
ModalDriver::Step ClickOk();
ModalDriver::Step Cancel();
// Checks the proposed name of a save dialog and then chooses the path.
ModalDriver::Step ExpectProposalAndChoose(const QString& proposal, const std::string& path);
