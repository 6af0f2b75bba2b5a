#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <cstdlib>
#include <gtest/gtest.h>
#include <set>

#include "core/settings/Options.h"
#include "gui/dialogs/DlgEdit.h"
#include "gui/dialogs/DlgPasswordHealth.h"
#include "gui/importexport/DlgImportOther.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/EntryListView.h"
#include "gui/mainwindow/MainMenu.h"
#include "gui/mainwindow/TrayMenu.h"
#include "gui/mainwindow/WindowOnFakeDesktop.h"
#include "support/TempDir.h"

using namespace CommandId;

// A command acts only on the database it started with: a lock while one of its dialogs is open leaves the file and
// the views as the lock left them, whatever the user does in the dialog afterwards.
namespace {
constexpr char16_t GoneText[] = u"The database was locked or closed while the dialog was open, so nothing was changed.";

// Every file in the folder, with its size and a digest of its bytes.
std::map<std::string, std::string> FolderContents(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder)) {
        if (item.is_regular_file()) {
            const std::string bytes = ReadFileBytes(item.path());
            files[item.path().filename().string()] =
                std::to_string(bytes.size()) + " bytes, digest " + std::to_string(std::hash<std::string>()(bytes));
        }
    }
    return files;
}

// What the window shows of the database.
struct ViewState
{
    int rows;
    int groups;
    QString status;

    bool operator==(const ViewState&) const = default;
};

// The careless user's answer to any dialog: a file name in a chooser, "pw" in every password field, then OK (or
// Close where there is no OK); a dialog that stays open after that is cancelled.
void AcceptAnything(QWidget* dialog, const std::filesystem::path& openable, const std::filesystem::path& savable)
{
    QPointer<QWidget> guarded(dialog);
    if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
        ChooseFile((files->acceptMode() == QFileDialog::AcceptOpen ? openable : savable).string())(dialog);
    } else {
        for (const char* name : {"password", "repeat", "title"}) {
            if (auto* field = dialog->findChild<QLineEdit*>(QString::fromLatin1(name)); field && field->isVisible()) {
                field->setText(QStringLiteral("pw"));
            }
        }
        bool clicked = false;
        for (auto* buttons : dialog->findChildren<QDialogButtonBox*>()) {
            for (const auto which : {QDialogButtonBox::Ok, QDialogButtonBox::Yes, QDialogButtonBox::Close}) {
                if (QPushButton* button = buttons->button(which); button && button->isEnabled() && !clicked) {
                    clicked = true;
                    QTest::mouseClick(button, Qt::LeftButton);
                }
            }
        }
        if (!clicked) {
            if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
                box->accept();
            } else if (auto* plain = qobject_cast<QDialog*>(dialog)) {
                plain->accept();
            }
        }
    }
    if (guarded && guarded->isVisible()) {
        qobject_cast<QDialog*>(guarded.data())->reject();
    }
}

bool ShowsEntryData(QWidget* dialog)
{
    return qobject_cast<CDlgEdit*>(dialog) != nullptr || qobject_cast<CDlgPasswordHealth*>(dialog) != nullptr ||
           qobject_cast<CDlgImportOther*>(dialog) != nullptr;
}

class StaleSessionTest : public WindowOnFakeDesktop
{
protected:
    StaleSessionTest()
        : WindowOnFakeDesktop(true)
    {}

    void SetUp() override
    {
        ::setenv("APPDATA", (settingsFolder / "appdata").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (settingsFolder / "config").c_str(), 1);
        std::filesystem::create_directories(settingsFolder / "appdata");
        std::vector<Entry> entries;
        for (int number = 1; number <= 6; ++number) {
            entries.push_back(MakeEntry(number % 2 ? u"Web" : u"Mail", u"Entry " + std::u16string(1, u'0' + number),
                                        u"user", number == 3 ? u"" : u"p4ss"));
        }
        WriteDatabaseFile(path, entries);
        original = ReadFileBytes(path);
        WriteFileBytes(openable, "\"Only\",\"One\",\"u\",\"p\",\"\",\"\"\r\n");
        options.fLastDB = true;
        options.fLockDBMin = true;
        options.fPasteMenuEdit = true;
        options.fAutoLoginMenuEdit = true;
        options.fPasteMenuTray = true;
        options.fAutoLoginMenuTray = true;
        options.LastPath = path.u16string();
    }

    void TearDown() override
    {
        ::unsetenv("APPDATA");
        ::unsetenv("XDG_CONFIG_HOME");
    }

    // The database file as it was written first, and nothing written beside it.
    void OpenWindow()
    {
        window.reset();
        WriteFileBytes(path, original);
        std::filesystem::remove(savable);
        options.LastPath = path.u16string();
        CreateWindow(u"");
        driver.Then(TypePassword(QStringLiteral("pw")));
        window->Start();
        ASSERT_TRUE(window->Session().IsOpen());
        window->EntryList()->SelectRow(0);
        driver.titles.clear();
        messages.Reset();
    }

    ViewState Views() const
    {
        return {window->EntryList()->model()->rowCount(), window->GroupTree()->topLevelItemCount(),
                window->StatusPane(1)->text() + window->StatusPane(2)->text()};
    }

    // Minimising with lock on minimise set, as the user would with the title bar's button.
    void Minimise() { window->showMinimized(); }

    TempDir settingsFolder;
    std::filesystem::path openable = folder / "in.csv";
    std::filesystem::path savable = folder / "out.file";
    std::string original;
    UrlCatcher urls;
};

// Runs the command with the user minimising the window while its first dialog is open and then answering every
// dialog with OK.
struct Outcome
{
    bool dialogShown = false;
    bool entryDataLeftShowing = false;
    ViewState afterLock{};
};

TEST_F(StaleSessionTest, EveryCommandOfTheMenuAndTheTrayLeavesFileAndViewsAloneAfterALockDuringItsDialog)
{
    OpenWindow();
    std::set<int> commands;
    for (QAction* action : window->MainMenu().FileMenu()->parentWidget()->findChildren<QAction*>()) {
        if (action->data().isValid() && action->data().canConvert<int>() && action->data().toInt() > 0) {
            commands.insert(action->data().toInt());
        }
    }
    window->TrayCommands().Rebuild();
    for (QAction* action : window->TrayCommands().Menu()->findChildren<QAction*>()) {
        if (action->data().typeId() == QMetaType::Int) {
            commands.insert(action->data().toInt());
        }
    }
    ASSERT_GT(commands.size(), 40u);
    ASSERT_EQ(commands.count(FileSynchronize), 1u);
    for (const int command : commands) {
        SCOPED_TRACE(command);
        OpenWindow();
        const auto filesBefore = FolderContents(folder.Path());
        Outcome outcome;
        driver.Then([&](QWidget* dialog) {
            outcome.dialogShown = true;
            Minimise();
            QTest::qWait(20);
            outcome.afterLock = Views();
            outcome.entryDataLeftShowing = ShowsEntryData(dialog) && dialog->isVisible();
            if (dialog->isVisible()) {
                AcceptAnything(dialog, openable, savable);
            }
        });
        for (int more = 0; more < 8; ++more) {
            driver.Then([&](QWidget* dialog) { AcceptAnything(dialog, openable, savable); });
        }
        window->OnCommand(command);
        QTest::qWait(20);
        driver.Forget();
        if (!outcome.dialogShown) {
            continue;
        }
        EXPECT_FALSE(outcome.entryDataLeftShowing);
        EXPECT_EQ(FolderContents(folder.Path()), filesBefore);
        EXPECT_EQ(Views(), outcome.afterLock);
        EXPECT_TRUE(window->Session().IsLocked());
        EXPECT_EQ(options.LastPath, path.u16string());
        EXPECT_TRUE(database.Empty());
    }
}

TEST_F(StaleSessionTest, ACsvImportWhoseChooserOutlivesALockRefusesAndTheFileStaysAsItWas)
{
    OpenWindow();
    const std::string before = ReadFileBytes(path);
    driver.Then(ClickOk()); // the tip
    driver.Then(ClickOk()); // the import dialog
    driver.Then([this](QWidget* chooser) {
        Minimise();
        QTest::qWait(20);
        ChooseFile(openable.string())(chooser);
    });
    window->OnCommand(FileImportCsv);
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(messages.Texts(), std::vector<std::u16string>{GoneText});
    EXPECT_TRUE(database.Empty());
}

TEST_F(StaleSessionTest, BackupAndExportsAfterALockWriteNothingAndSaySo)
{
    for (const int command : {FileCreateBackup, FileExportTxt, FileExportHtml}) {
        SCOPED_TRACE(command);
        OpenWindow();
        driver.Then([this](QWidget* chooser) {
            Minimise();
            QTest::qWait(20);
            ChooseFile(savable.string())(chooser);
        });
        window->OnCommand(command);
        EXPECT_FALSE(std::filesystem::exists(savable));
        EXPECT_EQ(messages.Texts(), std::vector<std::u16string>{GoneText});
    }
    OpenWindow();
    driver.Then([this](QWidget* dialog) {
        Minimise();
        QTest::qWait(20);
        ClickOk()(dialog);
    });
    driver.Then(ChooseFile(savable.string()));
    window->OnCommand(FileExportCsv);
    EXPECT_FALSE(std::filesystem::exists(savable));
    EXPECT_EQ(messages.Texts(), std::vector<std::u16string>{GoneText});
}

TEST_F(StaleSessionTest, SynchronizeAfterALockDuringItsChooserOrItsPasswordWritesNothingAndSaysSo)
{
    const auto other = folder / "other.ldb";
    WriteDatabaseFile(other, {MakeEntry(u"Laptop", u"Only")}, u"lap");
    for (const bool duringPassword : {false, true}) {
        SCOPED_TRACE(duringPassword);
        OpenWindow();
        const std::string before = ReadFileBytes(path);
        const auto lockThen = [this](std::function<void(QWidget*)> answer) {
            return [this, answer](QWidget* dialog) {
                Minimise();
                QTest::qWait(20);
                answer(dialog);
            };
        };
        const auto choose = ChooseFile(other.string());
        const auto password = TypePassword(QStringLiteral("lap"));
        driver.Then(duringPassword ? choose : lockThen(choose));
        driver.Then(duringPassword ? lockThen(password) : password);
        window->OnCommand(FileSynchronize);
        driver.Forget();
        EXPECT_EQ(ReadFileBytes(path), before);
        EXPECT_TRUE(database.Empty());
        EXPECT_EQ(messages.Texts(), std::vector<std::u16string>{GoneText});
    }
}

TEST_F(StaleSessionTest, ThePasswordHealthReportClosesWhenTheDatabaseLocks)
{
    OpenWindow();
    bool showingAfterLock = true;
    driver.Then([&](QWidget* report) {
        ASSERT_NE(qobject_cast<CDlgPasswordHealth*>(report), nullptr);
        EXPECT_GT(qobject_cast<CDlgPasswordHealth*>(report)->Rows()->topLevelItemCount(), 0);
        QPointer<QWidget> guarded(report);
        Minimise();
        QTest::qWait(20);
        showingAfterLock = guarded && guarded->isVisible();
        if (showingAfterLock) {
            qobject_cast<QDialog*>(report)->reject();
        }
    });
    window->OnCommand(EditPasswordHealth);
    EXPECT_FALSE(showingAfterLock);
    EXPECT_TRUE(messages.messages.empty());
}
} // namespace
