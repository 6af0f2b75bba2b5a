// A log-in form of another program, for the form-filling test: a user-name field and a password field. It writes an
// empty "<result>.ready" file once it is the active window, and the fields so far to "<result>.fields" as they change.
// ENTER writes both fields to the result file named on the command line, one per line in UTF-8, and ends the program;
// an ENTER in the user-name field is written as such, so a lost TAB shows in the result.
#include <QApplication>
#include <QFile>
#include <QFormLayout>
#include <QLineEdit>
#include <QWidget>

namespace {
void WriteFile(const QString& path, const QByteArray& contents)
{
    QFile file(path + QStringLiteral(".part"));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(contents);
        file.close();
        QFile::remove(path);
        file.rename(path);
    }
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc < 2) {
        return 2;
    }
    const QString result = QString::fromLocal8Bit(argv[1]);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Form receiver"));
    auto* layout = new QFormLayout(&window);
    auto* username = new QLineEdit(&window);
    auto* password = new QLineEdit(&window);
    layout->addRow(QStringLiteral("User name"), username);
    layout->addRow(QStringLiteral("Password"), password);

    auto finish = [&](const QString& marker) {
        WriteFile(result, (username->text() + u'\n' + password->text() + u'\n' + marker + u'\n').toUtf8());
        application.quit();
    };
    QObject::connect(password, &QLineEdit::returnPressed, [&] { finish(QStringLiteral("ENTER")); });
    QObject::connect(username, &QLineEdit::returnPressed, [&] { finish(QStringLiteral("ENTER IN USER NAME")); });
    // What has arrived so far, for the test's message when ENTER never comes.
    auto progress = [&] {
        WriteFile(result + QStringLiteral(".fields"), (username->text() + u'\n' + password->text() + u'\n').toUtf8());
    };
    QObject::connect(username, &QLineEdit::textChanged, progress);
    QObject::connect(password, &QLineEdit::textChanged, progress);
    QObject::connect(&application, &QGuiApplication::applicationStateChanged, [&](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive) {
            WriteFile(result + QStringLiteral(".ready"), {});
        }
    });

    window.resize(360, 100);
    window.show();
    username->setFocus();
    return application.exec();
}
