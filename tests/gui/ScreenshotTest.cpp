#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>

#include "ModalDriver.h"
#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/settings/Options.h"
#include "core/settings/Translate.h"
#include "gui/common/FileChooser.h"
#include "gui/dialogs/AboutDlg.h"
#include "gui/dialogs/DlgEnter.h"
#include "gui/dialogs/DlgSetPassword.h"
#include "gui/dialogs/DlgTip.h"
#include "gui/importexport/DlgExportCSV.h"
#include "gui/importexport/DlgImportCSV.h"
#include "gui/mainwindow/DlgMain.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

namespace {
// Pictures of the main window and the dialogs in English, German and Russian, for a person to look at. Runs only when
// LOCKMERE_SCREENSHOT_DIR names the folder to write them to.
class ScreenshotTest : public ::testing::TestWithParam<const char*>
{
protected:
    void SetUp() override
    {
        const char* target = std::getenv("LOCKMERE_SCREENSHOT_DIR");
        if (!target) {
            GTEST_SKIP() << "LOCKMERE_SCREENSHOT_DIR is not set";
        }
        EnsureApplication();
        folder = QString::fromLocal8Bit(target);
        QDir().mkpath(folder);
        translation.Load(Utf8ToUtf16(GetParam()));
    }

    void Save(QWidget& widget, const QString& name)
    {
        widget.show();
        QTest::qWait(150);
        EXPECT_TRUE(
            widget.grab().save(folder + QStringLiteral("/%1-%2.png").arg(name, QString::fromLatin1(GetParam()))));
    }

    QString folder;
    CTranslate translation{LOCKMERE_BIN_DIR};
};

TEST_P(ScreenshotTest, MainWindowAndDialogs)
{
    TempDir files;
    MessageRecorder messages;
    CDataBase database(messages, translation);
    COptions options;
    options.fLastDB = true;
    const auto path = files / "lockmere.ldb";
    database.Add({ToSecure(u"Web"), ToSecure(u"Bank")}, {ToSecure(u"me"), ToSecure(u"pw"), {}, {}});
    ASSERT_TRUE(WriteDatabase(database, path, ToSecure(u"pw")));
    database.Clear();
    options.LastPath = Utf8ToUtf16(path.string());

    CDlgMain window(database, options, translation, u"");
    ModalDriver driver;
    driver.Then(TypePassword(QStringLiteral("pw")));
    window.Start();
    Save(window, QStringLiteral("main"));
    QMenu* edit = window.MainMenu().EditMenu();
    edit->popup(window.mapToGlobal(QPoint(60, 30)));
    QTest::qWait(150);
    EXPECT_TRUE(edit->grab().save(folder + QStringLiteral("/edit-menu-%1.png").arg(QString::fromLatin1(GetParam()))));
    edit->hide();

    CDlgEnter enter(EnterMode::Merge, translation);
    Save(enter, QStringLiteral("enter"));
    CDlgSetPassword setPassword(SetPasswordMode::NewDatabase, translation);
    setPassword.findChild<QLineEdit*>(QStringLiteral("password"))->setText(QStringLiteral("summer2024"));
    Save(setPassword, QStringLiteral("set-password"));
    CDlgSetPassword changePassword(SetPasswordMode::Change, translation);
    changePassword.findChild<QLineEdit*>(QStringLiteral("password"))->setText(QStringLiteral("correct horse battery"));
    Save(changePassword, QStringLiteral("change-password"));
    bool showTip = true;
    CDlgTip tip(showTip, 173, translation);
    Save(tip, QStringLiteral("tip"));
    CAboutDlg about(translation, options.Language);
    Save(about, QStringLiteral("about"));
    CFileChooser chooser(window, options.LastPath);
    CDlgExportCSV exportCsv(database, chooser, u"lockmere.ldb");
    Save(exportCsv, QStringLiteral("export-csv"));
    CDlgImportCSV importCsv(database, chooser);
    Save(importCsv, QStringLiteral("import-csv"));
}

INSTANTIATE_TEST_SUITE_P(Languages, ScreenshotTest, ::testing::Values("English", "German", "Russian"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });
} // namespace
