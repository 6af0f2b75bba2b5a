// The main window in whatever session the environment names, driven from outside for the Wayland tests.
//
// Arguments: the database (master password "pw"), the seconds after which the clipboard is cleared, the file it
// reports to, and optionally "clear-at-exit". It opens the database, answering the password prompt whenever one is
// up, and takes one command a line on its standard input: "copy" copies the first entry's password, "lock" runs the
// Lock command, "close" closes the window as its close button does. It appends to the report file "mapped" once the
// compositor shows the window with the database open, "copied" after a copy, and a "state ..." line whenever what the
// user could see changes (the open and locked database, the entries in the list and the groups in the tree, whether
// the window is shown, whether the notification-area icon is), and "ended" at its end. It stays until it is closed
// or ended, since under Wayland a copy is served by its process. Built for the tests only.
#include <QApplication>
#include <QLineEdit>
#include <QSocketNotifier>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <unistd.h>

#include "core/database/DataBase.h"
#include "core/settings/Options.h"
#include "core/settings/Translate.h"
#include "gui/app/GuiReporter.h"
#include "gui/dialogs/DlgEnter.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/DlgMain.h"
#include "gui/mainwindow/EntryListView.h"
#include "gui/mainwindow/EntryViews.h"
#include "gui/mainwindow/TrayIcon.h"

namespace {
class Report
{
public:
    explicit Report(const char* file)
        : file(file)
    {}
    void Say(const std::string& line) const { std::ofstream(file, std::ios::app) << line << std::endl; }

private:
    const char* file;
};

// Runs `action` every 50 ms for as long as the program runs.
void Every50Milliseconds(std::function<void()> action)
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, std::move(action));
    timer->start(50);
}

// Answers the password prompt as a user would, once it is up.
void AnswerPasswordPrompts()
{
    Every50Milliseconds([] {
        if (auto* prompt = qobject_cast<CDlgEnter*>(QApplication::activeModalWidget())) {
            prompt->findChild<QLineEdit*>(QStringLiteral("password"))->setText(QStringLiteral("pw"));
            prompt->accept();
        }
    });
}

bool Exposed(const CDlgMain& window)
{
    return window.isVisible() && window.windowHandle() && window.windowHandle()->isExposed();
}

std::string StateOf(CDlgMain& window)
{
    const QAbstractItemModel* list = window.EntryList()->model();
    return "state open=" + std::to_string(window.Session().IsOpen()) +
           " locked=" + std::to_string(window.Session().IsLocked()) +
           " rows=" + std::to_string(list ? list->rowCount() : 0) +
           " groups=" + std::to_string(window.GroupTree()->topLevelItemCount()) +
           " shown=" + std::to_string(Exposed(window)) + " tray=" + std::to_string(window.Tray().IsShown());
}

void ReportChanges(CDlgMain& window, const Report& report)
{
    auto mapped = std::make_shared<bool>(false);
    auto last = std::make_shared<std::string>();
    Every50Milliseconds([&window, &report, mapped, last] {
        if (!*mapped && Exposed(window) && window.Session().IsOpen()) {
            *mapped = true;
            report.Say("mapped");
        }
        const std::string now = StateOf(window);
        if (now != *last) {
            *last = now;
            report.Say(now);
        }
    });
}

void Run(CDlgMain& window, CDataBase& database, const Report& report, const std::string& command)
{
    if (command == "copy" && database.begin() != database.end()) {
        window.Views().SelectKey(database.begin()->first);
        window.OnCommand(CommandId::EditCopyPassword);
        report.Say("copied");
    } else if (command == "lock") {
        window.OnCommand(CommandId::FileLock);
    } else if (command == "close") {
        window.close();
    }
}

// Reads the commands as they come; an ended input changes nothing.
void FollowCommands(CDlgMain& window, CDataBase& database, const Report& report)
{
    auto* input = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, qApp);
    QObject::connect(input, &QSocketNotifier::activated, [&window, &database, &report, input] {
        std::string line;
        char character = 0;
        while (::read(STDIN_FILENO, &character, 1) == 1 && character != '\n') {
            line.push_back(character);
        }
        if (line.empty()) {
            input->setEnabled(false);
            return;
        }
        Run(window, database, report, line);
    });
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc < 4) {
        return 2;
    }
    const Report report(argv[3]);
    CGuiReporter reporter;
    CTranslate translation{std::filesystem::path()};
    translation.Load(u"");
    CDataBase database(reporter, translation);
    COptions options;
    options.LastPath = std::filesystem::path(argv[1]).u16string();
    options.fLastDB = true;
    options.fClearClipboardTime = true;
    options.uClearClipboardTime = std::atoi(argv[2]);
    options.fClearClipboardExit = argc > 4 && std::string(argv[4]) == "clear-at-exit";
    CDlgMain window(database, options, translation, u"");
    QObject::connect(&window, &CDlgMain::Ended, &application, &QApplication::quit);
    AnswerPasswordPrompts();
    ReportChanges(window, report);
    FollowCommands(window, database, report);
    window.Start();
    const int result = application.exec();
    report.Say("ended");
    return result;
}
