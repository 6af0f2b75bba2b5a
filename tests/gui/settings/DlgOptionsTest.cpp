#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <gmock/gmock.h>

#include "core/common/Utf.h"
#include "core/settings/Options.h"
#include "core/settings/Translate.h"
#include "gui/ModalDriver.h"
#include "gui/common/QtText.h"
#include "gui/mainwindow/CommandIds.h"
#include "gui/mainwindow/DlgMain.h"
#include "gui/mainwindow/EntryListView.h"
#include "gui/settings/DlgOptions.h"
#include "platform/Autostart.h"
#include "platform/SettingsFolder.h"
#include "support/MessageRecorder.h"
#include "support/TempDir.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {
class DlgOptionsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureApplication();
        translation.Load(u"");
    }

    std::unique_ptr<CDlgOptions> Open() { return std::make_unique<CDlgOptions>(options, translation, messages); }

    template <typename Widget> static Widget* Find(QWidget& dialog, const char* name)
    {
        auto* widget = dialog.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    COptions options;
    CTranslate translation{LOCKMERE_BIN_DIR};
    MessageRecorder messages;
};

TEST_F(DlgOptionsTest, DependentBoxesFollowTheirControllersAndAreReadEvenWhenDisabled)
{
    struct Case
    {
        const char* clicked; // nullptr: as opened
        const char* dependent;
        bool enabled;
    };
    options.fAutoRun = true;
    options.fAutoRunHide = true;
    auto dialog = Open();
    for (const Case& c :
         {Case{nullptr, "fAutoRunHide", true}, Case{"fAutoRun", "fAutoRunHide", false},
          Case{"fAutoRun", "fAutoRunHide", true}, Case{"fAutoRun", "fAutoRunHide", false},
          Case{nullptr, "fGroupEntriesTray", false}, Case{"fPasteMenuTray", "fGroupEntriesTray", true},
          Case{"fAutoLoginMenuTray", "fGroupEntriesTray", true}, Case{"fPasteMenuTray", "fGroupEntriesTray", true},
          Case{"fAutoLoginMenuTray", "fGroupEntriesTray", false}}) {
        if (c.clicked) {
            Find<QCheckBox>(*dialog, c.clicked)->click();
        }
        EXPECT_EQ(Find<QCheckBox>(*dialog, c.dependent)->isEnabled(), c.enabled) << (c.clicked ? c.clicked : "open");
    }
    EXPECT_TRUE(Find<QCheckBox>(*dialog, "fAutoRunHide")->isChecked());
    dialog->accept();
    EXPECT_FALSE(options.fAutoRun);
    EXPECT_TRUE(options.fAutoRunHide);
}

TEST_F(DlgOptionsTest, NumbersChangeOnlyByTheArrowsWithinTheirRangeAndKeepValuesFromOutsideIt)
{
    struct Case
    {
        std::int32_t COptions::*setting;
        const char* field;
        std::int32_t loaded;
        int presses; // up when positive, down when negative
        QString shownAtOpening;
        std::int32_t stored;
    };
    const Case cases[] = {
        {&COptions::uClearClipboardTime, "uClearClipboardTime", 10, 1190, "10", 1200},
        {&COptions::uClearClipboardTime, "uClearClipboardTime", 5, -1, "5", 5},
        {&COptions::uClearClipboardTime, "uClearClipboardTime", 3, 0, "3", 3},
        {&COptions::uClearClipboardTime, "uClearClipboardTime", 3, 1, "3", 5},
        {&COptions::uLockDBAutoTime, "uLockDBAutoTime", 99990, 20, "99990", 99999},
        {&COptions::uLockDBAutoTime, "uLockDBAutoTime", 200000, 0, "200000", 200000},
        {&COptions::uLockDBAutoTime, "uLockDBAutoTime", 200000, -1, "200000", 99999},
        {&COptions::uLockDBAutoTime, "uLockDBAutoTime", -7, 0, "-7", -7},
        {&COptions::iPassGenLength, "iPassGenLength", 0, 0, "", 0},
        {&COptions::iPassGenLength, "iPassGenLength", -5, 0, "", 0},
        {&COptions::iPassGenLength, "iPassGenLength", 0, 1, "", 1},
        {&COptions::iPassGenLength, "iPassGenLength", 100, 3, "100", 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + std::to_string(c.loaded) + " " + std::to_string(c.presses));
        options = COptions();
        options.*c.setting = c.loaded;
        auto dialog = Open();
        auto* field = Find<QAbstractSpinBox>(*dialog, c.field);
        EXPECT_EQ(field->text(), c.shownAtOpening);
        QTest::keyClicks(field, "42");
        EXPECT_EQ(field->text(), c.shownAtOpening);
        for (int press = 0; press < std::abs(c.presses); ++press) {
            QTest::keyClick(field, c.presses > 0 ? Qt::Key_Up : Qt::Key_Down);
        }
        EXPECT_EQ(field->text(), c.stored == 0 && c.presses == 0 ? QString() : QString::number(c.stored));
        dialog->accept();
        EXPECT_EQ(options.*c.setting, c.stored);
    }
}

TEST_F(DlgOptionsTest, ChosenLanguageTakesEffectOnOkOnly)
{
    for (const bool ok : {false, true}) {
        auto dialog = Open();
        auto* language = Find<QComboBox>(*dialog, "Language");
        EXPECT_EQ(language->currentIndex(), -1);
        language->setCurrentIndex(language->findText(QStringLiteral("Deutsch")));
        ASSERT_GE(language->currentIndex(), 0);
        ok ? dialog->accept() : dialog->reject();
        EXPECT_EQ(options.Language, ok ? u"German" : u"");
        EXPECT_EQ(translation.Text(13), ok ? u"Optionen" : u"Options");
    }
    // Every window opened afterwards speaks the new language.
    EXPECT_EQ(Open()->windowTitle(), QStringLiteral("Optionen"));
}

TEST_F(DlgOptionsTest, EveryPageIsReadOnOkWhetherVisitedOrNot)
{
    COptions changed;
    changed.fCloseHide = changed.fTop = changed.fHideUser = changed.fLockDBMin = true;
    changed.fPassGenSpecSymbols = changed.fPasteMenuEdit = true;
    changed.fColumn2 = false;
    for (const bool ok : {false, true}) {
        auto dialog = Open();
        EXPECT_EQ(dialog->Tabs()->count(), 6);
        EXPECT_EQ(dialog->Tabs()->currentIndex(), 0);
        for (const char* name :
             {"fCloseHide", "fTop", "fHideUser", "fLockDBMin", "fPassGenSpecSymbols", "fPasteMenuEdit"}) {
            Find<QCheckBox>(*dialog, name)->setChecked(true);
        }
        Find<QTreeWidget>(*dialog, "columns")->topLevelItem(2)->setCheckState(0, Qt::Unchecked);
        ok ? dialog->accept() : dialog->reject();
        EXPECT_EQ(options, ok ? changed : COptions());
    }
}

TEST_F(DlgOptionsTest, InstallRefusesAMissingPathOrOneThatIsNoFolder)
{
    TempDir folder;
    WriteFileBytes(folder / "file", "x");
    struct Case
    {
        std::string path;
        std::u16string message;
    };
    for (const Case& c : {Case{"", u"Specify the installation path."},
                          Case{(folder / "file").string(), u"The specified path does not exist."},
                          Case{(folder / "missing").string(), u"The specified path does not exist."}}) {
        messages.Reset();
        auto dialog = Open();
        Find<QLineEdit>(*dialog, "path")->setText(QString::fromStdString(c.path));
        Find<QPushButton>(*dialog, "install")->click();
        EXPECT_THAT(messages.Texts(), ElementsAre(c.message));
        EXPECT_EQ(messages.messages[0].icon, MessageIcon::Error);
        EXPECT_TRUE(std::filesystem::is_empty(folder.Path()) || !std::filesystem::exists(folder / "Lockmere"));
    }
}

TEST_F(DlgOptionsTest, PortablePageOffersTheDatabaseOnlyWhileOneIsOpen)
{
    for (const std::u16string lastPath : {u"", u"/data/my.ldb"}) {
        options.LastPath = lastPath;
        auto dialog = Open();
        EXPECT_EQ(Find<QCheckBox>(*dialog, "copyDatabase")->isEnabled(), !lastPath.empty());
        EXPECT_FALSE(Find<QCheckBox>(*dialog, "copyDatabase")->isChecked());
        EXPECT_TRUE(Find<QCheckBox>(*dialog, "subfolder")->isChecked());
        EXPECT_TRUE(Find<QCheckBox>(*dialog, "copySettings")->isChecked());
        EXPECT_EQ(Find<QLineEdit>(*dialog, "path")->text(), QString());
    }
}

TEST_F(DlgOptionsTest, FormFillingHelpOpensThePageInTheSettingsLanguage)
{
    UrlCatcher urls;
    for (const std::u16string language : {u"", u"Russian", u"russian"}) {
        options.Language = language;
        Find<QPushButton>(*Open(), "help")->click();
    }
    EXPECT_THAT(urls.opened, ElementsAre(QUrl("https://www.tavilo.com/?p=lockmere_help_form_filling"),
                                         QUrl("https://www.tavilo.com/?p=lockmere_help_form_filling&lng=ru"),
                                         QUrl("https://www.tavilo.com/?p=lockmere_help_form_filling")));
}

// The main window saves and applies what the dialog changed.
class OptionsAppliedTest : public DlgOptionsTest
{
protected:
    void SetUp() override
    {
        DlgOptionsTest::SetUp();
        std::filesystem::create_directory(folder / "appdata");
        ::setenv("APPDATA", (folder / "appdata").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
        options.fLastDB = false;
    }
    void TearDown() override
    {
        ::unsetenv("APPDATA");
        ::unsetenv("XDG_CONFIG_HOME");
    }

    TempDir folder;
};

TEST_F(OptionsAppliedTest, OkSavesStartsAtLoginAndRebuildsTheWindowCancelChangesNothing)
{
    CDataBase database(messages, translation);
    CDlgMain window(database, options, translation, u"");
    window.show();
    const Autostart autostart;
    ModalDriver driver;
    const auto change = [](QWidget* dialog) {
        for (const char* name : {"fAutoRun", "fAutoRunHide", "fGroupsTree", "fPasteMenuEdit", "fTop"}) {
            auto* box = dialog->findChild<QCheckBox*>(QString::fromLatin1(name));
            box->setChecked(!box->isChecked());
        }
        auto* language = dialog->findChild<QComboBox*>(QStringLiteral("Language"));
        language->setCurrentIndex(language->findText(QStringLiteral("Deutsch")));
    };
    driver.Then([change](QWidget* dialog) {
        change(dialog);
        qobject_cast<QDialog*>(dialog)->reject();
    });
    EXPECT_FALSE(window.RunOptions());
    EXPECT_FALSE(std::filesystem::exists(SettingsFilePath()));
    EXPECT_FALSE(std::filesystem::exists(autostart.EntryPath()));
    EXPECT_TRUE(window.GroupTree()->isVisibleTo(&window));

    driver.Then([change](QWidget* dialog) {
        change(dialog);
        qobject_cast<QDialog*>(dialog)->accept();
    });
    window.OnCommand(CommandId::Options);
    EXPECT_TRUE(driver.Finished());
    EXPECT_THAT(driver.titles, ElementsAre(QStringLiteral("Options"), QStringLiteral("Options")));
    EXPECT_TRUE(std::filesystem::exists(SettingsFilePath()));
    EXPECT_NE(ReadFileBytes(autostart.EntryPath()).find(" -hide\n"), std::string::npos);
    EXPECT_FALSE(window.GroupTree()->isVisibleTo(&window));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window.isVisible());
    EXPECT_NE(window.MainMenu().Action(CommandId::EditPasteUsername), nullptr);
    EXPECT_NE(QtText(translation, 77), QStringLiteral("Paste Username"));
    EXPECT_EQ(window.MainMenu().Action(CommandId::EditPasteUsername)->text(), QtText(translation, 77));
    EXPECT_EQ(window.ToolbarAction(CommandId::FileNew)->toolTip(), QtText(translation, 122));

    driver.Then([](QWidget* dialog) {
        dialog->findChild<QCheckBox*>(QStringLiteral("fAutoRun"))->setChecked(false);
        qobject_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_TRUE(window.RunOptions());
    EXPECT_FALSE(std::filesystem::exists(autostart.EntryPath()));
}
} // namespace
