#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <gtest/gtest.h>

#include "core/settings/Options.h"
#include "gui/GuiTestSupport.h"
#include "gui/dialogs/DlgEdit.h"
#include "gui/dialogs/DlgEditFixture.h"
#include "gui/dialogs/PasswordStrengthBar.h"
#include "support/MessageRecorder.h"

namespace {
const std::u16string NoSuchEntry = u"Error. No such entry.";
const std::u16string Mismatch = u"Error: Passwords do not match, please retype.";
} // namespace

class DlgEditOpeningTest : public DlgEditFixture
{};

TEST_F(DlgEditOpeningTest, CaptionAndLabelsFollowTheModeAndTheTexts)
{
    auto add = Open(EditMode::Add);
    EXPECT_EQ(add->windowTitle(), "Add Entry");
    auto edit = Open(EditMode::Edit, MakeEntry(u"", u""));
    EXPECT_EQ(edit->windowTitle(), "Edit/View Entry");
    QStringList labels;
    for (QLabel* label : add->findChildren<QLabel*>()) {
        labels << label->text();
    }
    for (const char* expected : {"Group:", "Title:", "Username:", "Password:", "Repeat:", "URL/Path:", "Notes:"}) {
        EXPECT_TRUE(labels.contains(QLatin1String(expected))) << expected;
    }
    EXPECT_EQ(Child<QPushButton>(*add, "generate")->text(), "Generate");
    EXPECT_EQ(Child<QPushButton>(*add, "cancel")->text(), "Cancel");
    EXPECT_EQ(Child<QPushButton>(*add, "ok")->text(), "OK");
    EXPECT_EQ(Child<QPushButton>(*add, "browse")->text(), "...");
    EXPECT_EQ(Child<QPushButton>(*add, "passwordMask")->text(), "***");
    EXPECT_TRUE(Child<QPushButton>(*add, "ok")->isDefault());
}

TEST_F(DlgEditOpeningTest, AGroupOfThreeHundredCharactersKeepsTheDialogOnTheScreenAndIsWholeInItsToolTip)
{
    const QString longGroup = QString(300, QLatin1Char('W')) + QStringLiteral("end");
    AddEntries(database, {MakeEntry(longGroup.toStdU16String(), u"Title")});
    for (const EditMode mode : {EditMode::Add, EditMode::Edit}) {
        auto dialog = Open(mode, mode == EditMode::Edit ? std::optional(MakeEntry(u"Email", u"Inbox")) : std::nullopt);
        dialog->show();
        const int screen = dialog->screen()->availableGeometry().width();
        EXPECT_LE(dialog->frameGeometry().width(), screen);
        QComboBox* group = Child<QComboBox>(*dialog, "group");
        const int index = group->findText(longGroup);
        ASSERT_GE(index, 0);
        EXPECT_EQ(group->itemData(index, Qt::ToolTipRole).toString(), longGroup);
        EXPECT_LE(group->view()->maximumWidth(), screen);
    }
}

TEST_F(DlgEditOpeningTest, GroupListHoldsTheSuggestionsAndTheDatabaseGroupsOnceEachSorted)
{
    auto dialog = Open(EditMode::Add);
    QComboBox* group = Child<QComboBox>(*dialog, "group");
    QStringList items;
    for (int index = 0; index < group->count(); ++index) {
        items << group->itemText(index);
    }
    EXPECT_EQ(items, QStringList({"Applications", "apps", "Email", "Forums", "Homebanking", "Instant Messengers",
                                  "Network", "Social Networks", "Windows", "WWW", "Zoo"}));
    EXPECT_TRUE(group->currentText().isEmpty());
}

TEST_F(DlgEditOpeningTest, EditModeShowsTheSelectedEntry)
{
    auto dialog = Open(EditMode::Edit, std::nullopt, EntryKey{ToSecure(u"Email"), ToSecure(u"Inbox")});
    EXPECT_EQ(Child<QComboBox>(*dialog, "group")->currentText(), "Email");
    EXPECT_EQ(Field(*dialog, "title")->text(), "Inbox");
    EXPECT_EQ(Field(*dialog, "username")->text(), "alice");
    EXPECT_EQ(Field(*dialog, "password")->text(), "pw");
    EXPECT_EQ(Field(*dialog, "repeat")->text(), "pw");
    EXPECT_EQ(Field(*dialog, "url")->text(), "https://mail");
    EXPECT_EQ(Child<QPlainTextEdit>(*dialog, "notes")->toPlainText(), "line1\nline2");
}

TEST_F(DlgEditOpeningTest, EditModeWithoutSuchEntryReportsAndEndsCancelled)
{
    auto dialog = Open(EditMode::Edit, std::nullopt, EntryKey{ToSecure(u"Email"), ToSecure(u"inbox")});
    EXPECT_EQ(dialog->exec(), QDialog::Rejected);
    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{NoSuchEntry});
    recorder.Reset();
    auto none = Open(EditMode::Edit);
    EXPECT_EQ(none->exec(), QDialog::Rejected);
    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{NoSuchEntry});
}

TEST_F(DlgEditOpeningTest, PrefilledEditSkipsTheLookup)
{
    auto dialog =
        Open(EditMode::Edit, MakeEntry(u"New", u"Typed", u"u", u"p"), EntryKey{ToSecure(u"gone"), ToSecure(u"gone")});
    EXPECT_TRUE(dialog->Prefilled());
    EXPECT_EQ(Field(*dialog, "title")->text(), "Typed");
    EXPECT_EQ(Field(*dialog, "repeat")->text(), "p");
    QTimer::singleShot(0, dialog.get(), [&dialog] { dialog->reject(); });
    dialog->exec();
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(DlgEditOpeningTest, NewEntryGetsAGeneratedPasswordInBothFieldsWhenAutomatic)
{
    options.fPassGenAuto = true;
    options.iPassGenLength = 16;
    auto dialog = Open(EditMode::Add);
    const QString generated = Field(*dialog, "password")->text();
    EXPECT_EQ(generated.size(), 16);
    EXPECT_EQ(Field(*dialog, "repeat")->text(), generated);
    EXPECT_TRUE(Field(*dialog, "title")->text().isEmpty());
}

TEST_F(DlgEditOpeningTest, NewEntryStartsEmptyWithoutAutomaticGeneration)
{
    options.fPassGenAuto = false;
    auto dialog = Open(EditMode::Add);
    EXPECT_TRUE(Field(*dialog, "password")->text().isEmpty());
    EXPECT_TRUE(Field(*dialog, "repeat")->text().isEmpty());
}

TEST_F(DlgEditOpeningTest, PrefilledAddKeepsTheTypedPasswordAndGeneratesNothing)
{
    options.fPassGenAuto = true;
    auto dialog = Open(EditMode::Add, MakeEntry(u"G", u"T", u"u", u"mine"));
    EXPECT_EQ(Field(*dialog, "password")->text(), "mine");
    EXPECT_EQ(Field(*dialog, "repeat")->text(), "mine");
    EXPECT_EQ(random.next, 0u);
}

TEST_F(DlgEditOpeningTest, EditModeNeverGenerates)
{
    options.fPassGenAuto = true;
    auto dialog = Open(EditMode::Edit, std::nullopt, EntryKey{ToSecure(u"Zoo"), ToSecure(u"Keeper")});
    EXPECT_TRUE(Field(*dialog, "password")->text().isEmpty());
}

class DlgEditMaskTest : public DlgEditFixture
{};

TEST_F(DlgEditMaskTest, HiddenPasswordsMaskBothFieldsAndTheButtonTogglesBoth)
{
    options.fHidePass = true;
    options.fHideUser = false;
    auto dialog = Open(EditMode::Add);
    QLineEdit* password = Field(*dialog, "password");
    QLineEdit* repeat = Field(*dialog, "repeat");
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    EXPECT_EQ(repeat->echoMode(), QLineEdit::Password);
    EXPECT_EQ(Field(*dialog, "username")->echoMode(), QLineEdit::Normal);
    Click(*dialog, "passwordMask");
    EXPECT_EQ(password->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(repeat->echoMode(), QLineEdit::Normal);
    Click(*dialog, "passwordMask");
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    EXPECT_EQ(repeat->echoMode(), QLineEdit::Password);
}

TEST_F(DlgEditMaskTest, ClearPasswordsStartUnmaskedAndTheButtonMasksBoth)
{
    options.fHidePass = false;
    auto dialog = Open(EditMode::Add);
    EXPECT_EQ(Field(*dialog, "password")->echoMode(), QLineEdit::Normal);
    Click(*dialog, "passwordMask");
    EXPECT_EQ(Field(*dialog, "password")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(Field(*dialog, "repeat")->echoMode(), QLineEdit::Password);
}

TEST_F(DlgEditMaskTest, UsernameMaskFollowsItsSettingAndItsButton)
{
    options.fHideUser = true;
    auto dialog = Open(EditMode::Add);
    QLineEdit* username = Field(*dialog, "username");
    EXPECT_EQ(username->echoMode(), QLineEdit::Password);
    Click(*dialog, "usernameMask");
    EXPECT_EQ(username->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(Field(*dialog, "password")->echoMode(), QLineEdit::Password);
    Click(*dialog, "usernameMask");
    EXPECT_EQ(username->echoMode(), QLineEdit::Password);
}

class DlgEditButtonsTest : public DlgEditFixture
{};

TEST_F(DlgEditButtonsTest, GenerateKeepsTypedFieldsAndFillsBothPasswordsFromTheCurrentSettings)
{
    options.fPassGenAuto = false;
    auto dialog = Open(EditMode::Add);
    Type(*dialog, "title", "My title");
    Type(*dialog, "password", "old");
    options.iPassGenLength = 4;
    options.fPassGenUpperLetters = false;
    options.fPassGenLowerLetters = false;
    options.fPassGenNumbers = true;
    options.fPassGenSpecSymbols = false;
    const QLineEdit::EchoMode maskBefore = Field(*dialog, "password")->echoMode();
    Click(*dialog, "generate");
    const QString generated = Field(*dialog, "password")->text();
    ASSERT_EQ(generated.size(), 4);
    for (QChar character : generated) {
        EXPECT_TRUE(character.isDigit()) << generated.toStdString();
    }
    EXPECT_EQ(Field(*dialog, "repeat")->text(), generated);
    EXPECT_EQ(Field(*dialog, "title")->text(), "My title");
    EXPECT_EQ(Field(*dialog, "password")->echoMode(), maskBefore);
}

TEST_F(DlgEditButtonsTest, GenerateWithNoSetChosenEmptiesBothPasswordFields)
{
    options.fPassGenAuto = false;
    auto dialog = Open(EditMode::Add, MakeEntry(u"", u"", u"", u"typed"));
    options.fPassGenUpperLetters = false;
    options.fPassGenLowerLetters = false;
    options.fPassGenNumbers = false;
    options.fPassGenSpecSymbols = false;
    Click(*dialog, "generate");
    EXPECT_TRUE(Field(*dialog, "password")->text().isEmpty());
    EXPECT_TRUE(Field(*dialog, "repeat")->text().isEmpty());
}

TEST_F(DlgEditButtonsTest, GenerateWithLengthZeroGivesAnEmptyPassword)
{
    options.fPassGenAuto = false;
    auto dialog = Open(EditMode::Add);
    options.iPassGenLength = 0;
    Click(*dialog, "generate");
    EXPECT_TRUE(Field(*dialog, "password")->text().isEmpty());
}

TEST_F(DlgEditButtonsTest, GenerateWithOnlySpecialSymbolsDrawsFromThoseThirteen)
{
    options.fPassGenAuto = false;
    options.iPassGenLength = 40;
    options.fPassGenUpperLetters = false;
    options.fPassGenLowerLetters = false;
    options.fPassGenNumbers = false;
    options.fPassGenSpecSymbols = true;
    auto dialog = Open(EditMode::Add);
    Click(*dialog, "generate");
    const QString generated = Field(*dialog, "password")->text();
    ASSERT_EQ(generated.size(), 40);
    for (QChar character : generated) {
        EXPECT_TRUE(QStringLiteral("!@#$%^&*()_-+").contains(character));
    }
}

TEST_F(DlgEditButtonsTest, BrowseReplacesOnlyTheUrl)
{
    CDlgEdit::SetFileChooser([](QWidget*) { return QStringLiteral("/home/user/notes.txt"); });
    auto dialog = Open(EditMode::Add);
    Type(*dialog, "title", "Kept");
    Type(*dialog, "url", "https://old");
    const QString password = Field(*dialog, "password")->text();
    Click(*dialog, "browse");
    EXPECT_EQ(Field(*dialog, "url")->text(), "/home/user/notes.txt");
    EXPECT_EQ(Field(*dialog, "title")->text(), "Kept");
    EXPECT_EQ(Field(*dialog, "password")->text(), password);
}

TEST_F(DlgEditButtonsTest, CancelledBrowseLeavesTheUrl)
{
    CDlgEdit::SetFileChooser([](QWidget*) { return QString(); });
    auto dialog = Open(EditMode::Add);
    Type(*dialog, "url", "https://old");
    Click(*dialog, "browse");
    EXPECT_EQ(Field(*dialog, "url")->text(), "https://old");
}

class DlgEditOkTest : public DlgEditFixture
{};

TEST_F(DlgEditOkTest, DifferentPasswordsShowTheMismatchAndKeepTheDialogOpen)
{
    auto dialog = Open(EditMode::Add);
    dialog->show();
    Type(*dialog, "title", "T");
    Type(*dialog, "password", "one");
    Type(*dialog, "repeat", "One");
    Click(*dialog, "ok");
    EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{Mismatch});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), 0);
    EXPECT_EQ(Field(*dialog, "password")->text(), "one");
    EXPECT_EQ(Field(*dialog, "repeat")->text(), "One");
    EXPECT_EQ(Field(*dialog, "title")->text(), "T");
}

TEST_F(DlgEditOkTest, EveryFieldEmptyIsAccepted)
{
    options.fPassGenAuto = false;
    auto dialog = Open(EditMode::Add);
    dialog->show();
    Click(*dialog, "ok");
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->Values(), MakeEntry(u"", u""));
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(DlgEditOkTest, OkTakesEveryFieldWithTheGroupAsTypedInItsCase)
{
    auto dialog = Open(EditMode::Add);
    dialog->show();
    QComboBox* group = Child<QComboBox>(*dialog, "group");
    QTest::keyClicks(group->lineEdit(), "email");
    Type(*dialog, "title", "Post");
    Type(*dialog, "username", "me");
    Type(*dialog, "password", "pw");
    Type(*dialog, "repeat", "pw");
    Type(*dialog, "url", "imap://x");
    QTest::keyClicks(Child<QPlainTextEdit>(*dialog, "notes"), "a");
    QTest::keyClick(Child<QPlainTextEdit>(*dialog, "notes"), Qt::Key_Return);
    QTest::keyClicks(Child<QPlainTextEdit>(*dialog, "notes"), "b");
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    QTest::keyClick(Field(*dialog, "title"), Qt::Key_Return);
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->Values(), MakeEntry(u"email", u"Post", u"me", u"pw", u"imap://x", u"a\nb"));
    EXPECT_EQ(dialog->repeat, dialog->password);
}

TEST_F(DlgEditOkTest, PickingAGroupFromTheListTakesIt)
{
    auto dialog = Open(EditMode::Add);
    QComboBox* group = Child<QComboBox>(*dialog, "group");
    group->setCurrentIndex(group->findText("Homebanking"));
    dialog->show();
    Click(*dialog, "ok");
    EXPECT_EQ(dialog->Values().group, ToSecure(u"Homebanking"));
}

TEST_F(DlgEditOkTest, CancelTakesNothing)
{
    auto dialog = Open(EditMode::Edit, std::nullopt, EntryKey{ToSecure(u"Email"), ToSecure(u"Inbox")});
    dialog->show();
    Type(*dialog, "title", "Changed");
    Click(*dialog, "cancel");
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(dialog->title, ToSecure(u"Inbox"));
    EXPECT_TRUE(database.Find({ToSecure(u"Email"), ToSecure(u"Inbox")}));
}

TEST_F(DlgEditOpeningTest, AGroupInAnotherCaseThanASuggestionIsListedBesideIt)
{
    AddEntries(database, {MakeEntry(u"email", u"Other")});
    auto dialog = Open(EditMode::Add);
    QComboBox* group = Child<QComboBox>(*dialog, "group");
    EXPECT_NE(group->findText("Email", Qt::MatchExactly | Qt::MatchCaseSensitive), -1);
    EXPECT_NE(group->findText("email", Qt::MatchExactly | Qt::MatchCaseSensitive), -1);
    EXPECT_EQ(group->count(), 12);
}

TEST_F(DlgEditOkTest, LongValuesComeBackWhole)
{
    const std::u16string longText(40000, u'x');
    const Entry values = MakeEntry(longText, longText, longText, longText, longText, longText);
    auto dialog = Open(EditMode::Edit, values);
    dialog->show();
    Click(*dialog, "ok");
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->Values(), values);
}

TEST_F(DlgEditOkTest, NotesKeepTheirLineBreaksAsStored)
{
    const Entry values = MakeEntry(u"G", u"T", u"", u"", u"", u"windows\r\nline\nunix\rold mac\r\n");
    auto dialog = Open(EditMode::Edit, values);
    dialog->show();
    Click(*dialog, "ok");
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(FromSecure(dialog->Values().notes), FromSecure(values.notes));
}

TEST_F(DlgEditOkTest, ChangedNotesKeepTheEntrysCrLfLineBreaks)
{
    auto dialog = Open(EditMode::Edit, MakeEntry(u"G", u"T", u"", u"", u"", u"one\r\ntwo"));
    dialog->show();
    auto* notes = Child<QPlainTextEdit>(*dialog, "notes");
    notes->moveCursor(QTextCursor::End);
    QTest::keyClick(notes, Qt::Key_Return);
    QTest::keyClicks(notes, "three");
    Click(*dialog, "generate");
    Click(*dialog, "ok");
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(FromSecure(dialog->Values().notes), u"one\r\ntwo\r\nthree");
}

TEST_F(DlgEditOkTest, NotesTypedIntoANewEntryEndLinesWithLineFeeds)
{
    auto dialog = Open(EditMode::Add);
    dialog->show();
    auto* notes = Child<QPlainTextEdit>(*dialog, "notes");
    QTest::keyClicks(notes, "a");
    QTest::keyClick(notes, Qt::Key_Return);
    QTest::keyClicks(notes, "b");
    Click(*dialog, "ok");
    EXPECT_EQ(FromSecure(dialog->Values().notes), u"a\nb");
}

TEST_F(DlgEditOkTest, UntouchedSingleLineFieldsComeBackExactlyAsStored)
{
    const Entry values = MakeEntry(u"Group\nwith break", u"Title\r\n", u"user\tname", u"pass\nword", u"url\r", u"");
    auto dialog = Open(EditMode::Edit, values);
    dialog->show();
    Click(*dialog, "ok");
    ASSERT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->Values(), values);
}

TEST_F(DlgEditOkTest, ANulInAnyFieldIsRefusedWithAMessageAndTheDialogStaysOpen)
{
    options.fPassGenAuto = false;
    const QString withNul = QStringLiteral("M") + QChar(u'\0') + QStringLiteral("N");
    for (const char* name : {"title", "username", "url"}) {
        recorder.Reset();
        auto dialog = Open(EditMode::Add);
        dialog->show();
        Field(*dialog, name)->setText(withNul);
        Click(*dialog, "ok");
        EXPECT_EQ(recorder.Texts(), std::vector<std::u16string>{texts.Text(264)}) << name;
        EXPECT_TRUE(dialog->isVisible()) << name;
        EXPECT_EQ(dialog->result(), 0) << name;
    }
}

TEST_F(DlgEditOpeningTest, AHandEditedHugeLengthGeneratesNoMoreThanTheLongestPassword)
{
    options.fPassGenAuto = true;
    options.iPassGenLength = 2147483647;
    auto dialog = Open(EditMode::Add);
    EXPECT_EQ(Field(*dialog, "password")->text().size(), 100000);
}

namespace {
// The built-in texts with the entry dialog's button texts in Russian, the longest of the shipped languages.
class RussianButtons : public BuiltinTextSource
{
public:
    const std::u16string& Text(int id) const override { return id == 187 ? generate : BuiltinTextSource::Text(id); }
    std::u16string generate = u"Сгенерировать";
};
} // namespace

TEST_F(DlgEditButtonsTest, TheGenerateButtonFitsItsTranslatedText)
{
    RussianButtons russian;
    CDlgEdit dialog(EditMode::Add, database, options, russian, std::nullopt, std::nullopt, nullptr, random);
    auto* generate = Child<QPushButton>(dialog, "generate");
    EXPECT_GT(generate->width(), generate->fontMetrics().horizontalAdvance(generate->text()));
}

TEST_F(DlgEditOpeningTest, TheStrengthBarFollowsThePasswordAsItIsTypedWithoutShowingIt)
{
    auto dialog = Open(EditMode::Edit, std::nullopt, EntryKey{ToSecure(u"Email"), ToSecure(u"Inbox")});
    auto* bar = dialog->findChild<PasswordStrengthBar*>();
    ASSERT_NE(bar, nullptr);
    const struct
    {
        QString typed;
        int minimumValue;
        int maximumValue;
        QString word;
    } steps[] = {
        {QString(), 0, 0, QString()},
        {QStringLiteral("password"), 0, 5, QStringLiteral("Very weak")},
        {QStringLiteral("пароль2024"), 28, 39, QStringLiteral("Weak")},
        {QStringLiteral("Zk8#qLm2$vTx9&Wp"), 64, 100, QStringLiteral("Strong")},
    };
    QLineEdit* password = Field(*dialog, "password");
    for (const auto& step : steps) {
        password->clear();
        // Key by key, Cyrillic letters too, as a keyboard sends them.
        for (const QChar letter : step.typed) {
            QTest::sendKeyEvent(QTest::Click, password, Qt::Key_unknown, QString(letter), Qt::NoModifier);
        }
        EXPECT_GE(bar->Value(), step.minimumValue) << step.typed.toStdString();
        EXPECT_LE(bar->Value(), step.maximumValue) << step.typed.toStdString();
        EXPECT_EQ(bar->Word(), step.word);
        for (const QLabel* label : bar->findChildren<QLabel*>()) {
            EXPECT_FALSE(!step.typed.isEmpty() && label->text().contains(step.typed));
        }
    }
}
