// The main window in whatever session the environment names, driven from inside for the Wayland test: it opens the
// database named by its first argument (master password "pw") with the clipboard cleared after the seconds of its
// second argument, says "mapped" once the compositor shows the window, then copies the first entry's password and
// says "copied" (each line appended to the file of its third argument). It stays until it is ended, since under Wayland
// the copy is served by its process. Built for the tests only.
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QWindow>
#include <cstdlib>
#include <fstream>
#include <functional>

#include "core/database/DataBase.h"
#include "core/settings/Options.h"
#include "core/settings/Translate.h"
#include "gui/app/GuiReporter.h"
#include "gui/dialogs/DlgEnter.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/DlgMain.h"
#include "gui/mainwindow/EntryViews.h"

namespace {
// Appends the line to the file named by the third argument, which the test reads.
void Say(const char* file, const char* line)
{
    std::ofstream(file, std::ios::app) << line << std::endl;
}

// Answers the password prompt as a user would, once it is up.
void AnswerPasswordPrompts()
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [] {
        if (auto* prompt = qobject_cast<CDlgEnter*>(QApplication::activeModalWidget())) {
            prompt->findChild<QLineEdit*>(QStringLiteral("password"))->setText(QStringLiteral("pw"));
            prompt->accept();
        }
    });
    timer->start(50);
}

// Polls `done` and runs `then` once it holds.
void When(std::function<bool()> done, std::function<void()> then)
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, done = std::move(done), then = std::move(then)] {
        if (done()) {
            timer->stop();
            timer->deleteLater();
            then();
        }
    });
    timer->start(50);
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc < 4) {
        return 2;
    }
    CGuiReporter reporter;
    CTranslate translation{std::filesystem::path()};
    translation.Load(u"");
    CDataBase database(reporter, translation);
    COptions options;
    options.LastPath = std::filesystem::path(argv[1]).u16string();
    options.fLastDB = true;
    options.fClearClipboardTime = true;
    options.uClearClipboardTime = std::atoi(argv[2]);
    CDlgMain window(database, options, translation, u"");
    AnswerPasswordPrompts();
    window.Start();
    When([&] { return window.windowHandle() && window.windowHandle()->isExposed() && window.Session().IsOpen(); },
         [&, argv] {
             Say(argv[3], "mapped");
             window.Views().SelectKey(database.begin()->first);
             window.OnCommand(CommandId::EditCopyPassword);
             Say(argv[3], "copied");
         });
    return application.exec();
}
