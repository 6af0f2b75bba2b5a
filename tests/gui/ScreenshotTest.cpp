#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>

#include "ModalDriver.h"
#include "core/common/Utf.h"
#include "core/database/DatabaseFile.h"
#include "core/settings/BuiltinTexts.h"
#include "core/settings/Options.h"
#include "core/settings/Translate.h"
#include "gui/common/FileChooser.h"
#include "gui/common/QtText.h"
#include "gui/dialogs/AboutDlg.h"
#include "gui/dialogs/DlgEdit.h"
#include "gui/dialogs/DlgEnter.h"
#include "gui/dialogs/DlgSetPassword.h"
#include "gui/dialogs/DlgTip.h"
#include "gui/importexport/DlgExportCSV.h"
#include "gui/importexport/DlgImportCSV.h"
#include "gui/mainwindow/DlgMain.h"
#include "gui/mainwindow/TrayMenu.h"
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
    CollectionAccess entries(database);
    CDlgExportCSV exportCsv(entries, chooser, u"lockmere.ldb");
    Save(exportCsv, QStringLiteral("export-csv"));
    CDlgImportCSV importCsv(entries, chooser);
    Save(importCsv, QStringLiteral("import-csv"));
}

// Values of any length stay on the screen: the Add dialog with a group of 300 characters, and the flat Paste
// Password menu of the tray at 100,000 entries with its first range opened.
TEST_P(ScreenshotTest, LongValues)
{
    MessageRecorder messages;
    CDataBase database(messages, translation);
    COptions options;
    options.fPasteMenuTray = true;
    options.fGroupEntriesTray = false;
    const QString longGroup = QString::fromUtf16(u"Очень длинная группа ").repeated(15).left(300);
    database.Insert(Entry(ToSecure(longGroup.toStdU16String()), ToSecure(u"Title"), {}, {}, {}, {}));
    CDlgEdit add(EditMode::Add, database, options, translation, std::nullopt, std::nullopt);
    add.findChild<QComboBox*>(QStringLiteral("group"))->setCurrentText(longGroup);
    Save(add, QStringLiteral("add-long-group"));
    EXPECT_LE(add.frameGeometry().width(), add.screen()->availableGeometry().width());

    database.Clear();
    for (int number = 0; number < 100000; ++number) {
        const std::u16string group = number % 2 ? u"Web" : u"Mail";
        database.Insert(Entry(
            ToSecure(group), ToSecure(QStringLiteral("Entry %1").arg(number, 6, 10, QLatin1Char('0')).toStdU16String()),
            {}, {}, {}, {}));
    }
    TrayMenu tray(database, options, translation, [] { return true; });
    tray.Rebuild();
    QMenu* passwords = nullptr;
    for (QAction* action : tray.Menu()->actions()) {
        if (action->menu() && action->text() == QtText(translation, TextId::PastePassword)) {
            passwords = action->menu();
        }
    }
    ASSERT_NE(passwords, nullptr);
    emit passwords->aboutToShow();
    Save(*passwords, QStringLiteral("tray-100000"));
    QMenu* first = passwords->actions().front()->menu();
    emit first->aboutToShow();
    Save(*first, QStringLiteral("tray-100000-first-range"));
    for (QMenu* menu : {passwords, first}) {
        EXPECT_LE(menu->sizeHint().height(), menu->screen()->availableGeometry().height());
        EXPECT_LE(menu->sizeHint().width(), menu->screen()->availableGeometry().width());
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, ScreenshotTest, ::testing::Values("English", "German", "Russian"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });
} // namespace
