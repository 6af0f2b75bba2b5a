#include "ModalDriver.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

ModalDriver::ModalDriver()
{
    EnsureApplication();
    timer.setInterval(20);
    connect(&timer, &QTimer::timeout, this, &ModalDriver::Poll);
    timer.start();
}

void ModalDriver::Poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == handled.data() || !modal->isVisible()) {
        return;
    }
    // The progress of file work on a slow machine is no step of the user's; it closes by itself.
    if (modal->objectName() == QStringLiteral("workProgress")) {
        return;
    }
    // A step that opened another dialog is still running: when that dialog closes, its own dialog is the active
    // one again for a moment before the step closes it too.
    if (std::find(running.begin(), running.end(), modal) != running.end()) {
        return;
    }
    handled = modal;
    if (steps.empty()) {
        titles.push_back(QStringLiteral("unexpected: ") + modal->windowTitle());
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        }
        return;
    }
    titles.push_back(modal->windowTitle());
    Step step = std::move(steps.front());
    steps.pop_front();
    // Outside the poll: a step that opens another modal window runs its loop, and a timer never re-enters its
    // own handler.
    QTimer::singleShot(0, modal, [this, step, modal] {
        running.push_back(modal);
        step(modal);
        running.pop_back();
    });
}

UrlCatcher::UrlCatcher()
{
    for (const char* scheme : {"file", "http", "https"}) {
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
    }
}

UrlCatcher::~UrlCatcher()
{
    for (const char* scheme : {"file", "http", "https"}) {
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
}

void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "lockmere_gui_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        new QApplication(argc, argv);
    }
}

namespace {
void ClickButton(QWidget* dialog, QDialogButtonBox::StandardButton which)
{
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
        QTest::mouseClick(box->button(static_cast<QMessageBox::StandardButton>(which)), Qt::LeftButton);
        return;
    }
    for (auto* buttons : dialog->findChildren<QDialogButtonBox*>()) {
        if (QPushButton* button = buttons->button(which)) {
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    }
    // Dialogs with a single plain OK button.
    for (auto* button : dialog->findChildren<QPushButton*>()) {
        if (button->text() == QStringLiteral("OK") && which == QDialogButtonBox::Ok) {
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
    }
    ADD_FAILURE() << "no such button in " << dialog->windowTitle().toStdString();
    qobject_cast<QDialog*>(dialog)->reject();
}

void TypeInto(QWidget* dialog, const char* name, const QString& text)
{
    auto* field = dialog->findChild<QLineEdit*>(QString::fromLatin1(name));
    ASSERT_NE(field, nullptr) << name;
    // Qt Test types only ASCII keys; other characters arrive as an input method would deliver them.
    for (const QChar character : text) {
        if (character.unicode() < 0x80) {
            QTest::keyClick(field, character.toLatin1());
        } else {
            field->insert(QString(character));
        }
    }
}
} // namespace

ModalDriver::Step TypePasswords(const QString& password, const QString& repeat)
{
    return [password, repeat](QWidget* dialog) {
        TypeInto(dialog, "password", password);
        TypeInto(dialog, "repeat", repeat);
        ClickButton(dialog, QDialogButtonBox::Ok);
    };
}

ModalDriver::Step TypePassword(const QString& password)
{
    return [password](QWidget* dialog) {
        TypeInto(dialog, "password", password);
        ClickButton(dialog, QDialogButtonBox::Ok);
    };
}

ModalDriver::Step ChooseFile(const std::string& path)
{
    return [path](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        ASSERT_NE(files, nullptr) << dialog->windowTitle().toStdString();
        auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromStdString(path));
        QMetaObject::invokeMethod(files, "accept");
    };
}

ModalDriver::Step ExpectProposalAndChoose(const QString& proposal, const std::string& path)
{
    return [proposal, path](QWidget* dialog) {
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->text().toStdString(), proposal.toStdString());
        ChooseFile(path)(dialog);
    };
}

ModalDriver::Step ClickOk()
{
    return [](QWidget* dialog) { ClickButton(dialog, QDialogButtonBox::Ok); };
}

ModalDriver::Step Cancel()
{
    return [](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); };
}
