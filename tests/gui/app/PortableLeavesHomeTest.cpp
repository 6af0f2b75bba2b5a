#include <QFileDialog>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <cstdlib>
#include <map>
#include <optional>

#include "gui/app/QtSettingsPlace.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/WindowOnFakeDesktop.h"
#include "platform/SettingsFolder.h"

namespace {
using namespace CommandId;
// The environment variables that tell programs where the user's files go: set for the test, restored after it.
constexpr const char* HomeVariables[] = {"HOME",           "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                         "XDG_CACHE_HOME", "XDG_STATE_HOME",  "APPDATA"};

std::vector<std::string> EverythingIn(const std::filesystem::path& folder)
{
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        found.push_back(std::filesystem::relative(entry.path(), folder).string());
    }
    return found;
}

// A file chooser shows; nothing is chosen.
ModalDriver::Step CancelChooser()
{
    return [](QWidget* dialog) {
        ASSERT_NE(qobject_cast<QFileDialog*>(dialog), nullptr) << dialog->windowTitle().toStdString();
        Cancel()(dialog);
    };
}

// Presses the dialog's button of that name, which opens a chooser, then closes the dialog.
ModalDriver::Step BrowseAndCancel(const char* button)
{
    return [button](QWidget* dialog) {
        if (auto* tabs = dialog->findChild<QTabWidget*>(QStringLiteral("tabs"))) {
            tabs->setCurrentIndex(tabs->count() - 1);
        }
        auto* browse = dialog->findChild<QPushButton*>(QString::fromLatin1(button));
        ASSERT_NE(browse, nullptr) << button;
        browse->click();
        Cancel()(dialog);
    };
}

// The portable edition on a computer whose home folder must stay as it was: the user's home is a fresh folder, and
// the settings are kept beside the program, as the portable edition's start-up does.
class PortableLeavesHomeTest : public WindowOnFakeDesktop
{
protected:
    PortableLeavesHomeTest()
        : WindowOnFakeDesktop(false)
    {}

    void SetUp() override
    {
        for (const char* name : HomeVariables) {
            if (const char* value = std::getenv(name)) {
                savedEnvironment[name] = value;
            }
            ::unsetenv(name);
        }
        ::setenv("HOME", home.Path().c_str(), 1);
        KeepSettingsInFolder(stick.Path());
        KeepQtSettingsWithOurs();

        path = stick / "lockmere.ldb";
        WriteDatabaseOf(MakeEntry(u"Web", u"Bank", u"ann", u"pw1"));
        options.fLastDB = true;
        options.fTip0 = false;
        options.fTip1 = false;
        CreateWindow(u"");
        driver.Then(TypePassword(QStringLiteral("pw")));
        window->Start();
        ASSERT_TRUE(window->Session().IsOpen());
    }

    void TearDown() override
    {
        window.reset();
        for (const char* name : HomeVariables) {
            ::unsetenv(name);
        }
        for (const auto& [name, value] : savedEnvironment) {
            ::setenv(name.c_str(), value.c_str(), 1);
        }
        KeepSettingsInFolder({});
        const QString configuration = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
            QSettings::setPath(format, QSettings::UserScope, configuration);
        }
    }

    TempDir home;
    TempDir stick;
    std::map<std::string, std::string> savedEnvironment;
};

TEST_F(PortableLeavesHomeTest, EveryFileChooserKeepsQtsOwnSettingsBesideTheProgram)
{
    const struct
    {
        const char* name;
        int command;
        std::vector<ModalDriver::Step> steps;
    } choosers[] = {
        {"backup (save)", FileCreateBackup, {CancelChooser()}},
        {"merge (open)", FileImportLdb, {CancelChooser()}},
        {"other manager's export (open)", FileImportOther, {CancelChooser()}},
        {"text export (save)", FileExportTxt, {CancelChooser()}},
        {"HTML export (save)", FileExportHtml, {CancelChooser()}},
        {"entry's file (open)", EditAddEntry, {BrowseAndCancel("browse"), CancelChooser()}},
        {"portable folder (folder)", Options, {BrowseAndCancel("browse"), CancelChooser()}},
        {"new database (save)", FileNew, {ClickOk(), CancelChooser()}},
        {"open database (open)", FileOpen, {CancelChooser()}},
    };
    for (const auto& chooser : choosers) {
        SCOPED_TRACE(chooser.name);
        driver.titles.clear();
        for (const ModalDriver::Step& step : chooser.steps) {
            driver.Then(step);
        }
        window->OnCommand(chooser.command);
        EXPECT_TRUE(driver.Finished());
        for (const QString& title : driver.titles) {
            EXPECT_FALSE(title.startsWith(QStringLiteral("unexpected"))) << title.toStdString();
        }
    }

    EXPECT_EQ(EverythingIn(home.Path()), std::vector<std::string>{});
    EXPECT_TRUE(std::filesystem::exists(stick / "QtProject.conf")) << "Qt wrote its settings elsewhere";
}
} // namespace
