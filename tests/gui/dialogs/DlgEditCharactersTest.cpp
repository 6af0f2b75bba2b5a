#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QTextCursor>

#include "gui/common/QtText.h"
#include "gui/dialogs/DlgEditFixture.h"

// Every field of the entry dialog keeps its text exactly: as stored, when the dialog is only opened and confirmed,
// and as typed, when the user changes it. Characters that imported files and pasted text often hold and that a text
// widget may turn into others.
namespace {
struct UnusualText
{
    const char* name;
    std::u16string text;
    // What typing the text into the notes of a new entry gives: the line breaks of notes typed anew are line feeds.
    std::u16string typedAsNotes = text;
};

const UnusualText UnusualTexts[] = {
    {"no-break space", u"a\u00a0b\u00a0"},
    {"line separator", u"one\u2028two"},
    {"paragraph separator", u"one\u2029two", u"one\ntwo"},
    {"byte order mark", u"\ufeffstart\ufeff"},
    {"combining marks", u"e\u0301 a\u0308\u0323 \u0915\u094d\u0937"},
    {"right-to-left marks", u"\u200f\u05e9\u05dc\u05d5\u05dd\u200e 12 \u202bx\u202c"},
    {"surrogate pairs", u"\xd83d\xde00 \xd834\xdd1e"},
    {"tabs", u"\tname\tvalue\t"},
    {"CR alone", u"old\rmac\r", u"old\nmac\n"},
    {"CR LF and LF mixed", u"a\r\nb\nc\r\n", u"a\nb\nc\n"},
    {"zero-width joiner", u"\xd83d\xdc69\u200d\xd83d\xdcbb"},
};

const char* const FieldNames[] = {"group", "title", "username", "password", "url", "notes"};

std::u16string FieldText(const Entry& entry, int field)
{
    return FromSecure(FieldOf(entry, static_cast<EntryField>(field)));
}

// Text as an input method brings it, whole, whatever its characters.
void Commit(QWidget* widget, const std::u16string& text)
{
    QInputMethodEvent event;
    event.setCommitString(ToQString(text));
    QApplication::sendEvent(widget, &event);
}

// Text as the user pastes it with the keyboard, from another program's copy.
void Paste(QWidget* widget, const std::u16string& text)
{
    QGuiApplication::clipboard()->setText(ToQString(text));
    widget->setFocus();
    QTest::keySequence(widget, QKeySequence::Paste);
}

using EnterText = void (*)(QWidget*, const std::u16string&);
const struct
{
    const char* name;
    EnterText enter;
} WaysToEnterText[] = {{"typed", Commit}, {"pasted", Paste}};
} // namespace

class DlgEditCharactersTest : public DlgEditFixture
{
protected:
    QWidget* Input(CDlgEdit& dialog, int field)
    {
        if (field == 0) {
            return Child<QComboBox>(dialog, "group")->lineEdit();
        }
        return dialog.findChild<QWidget*>(QLatin1String(FieldNames[field]));
    }

    QPlainTextEdit* Notes(CDlgEdit& dialog) { return Child<QPlainTextEdit>(dialog, "notes"); }
};

TEST_F(DlgEditCharactersTest, EveryFieldComesBackExactlyAsStored)
{
    for (const UnusualText& unusual : UnusualTexts) {
        const std::u16string& text = unusual.text;
        const Entry values = MakeEntry(text, u"T" + text, text, text, text, text);
        auto dialog = Open(EditMode::Edit, values);
        dialog->show();
        Click(*dialog, "ok");
        ASSERT_EQ(dialog->result(), QDialog::Accepted) << unusual.name;
        for (int field = 0; field < EntryFieldCount; ++field) {
            EXPECT_EQ(FieldText(dialog->Values(), field), FieldText(values, field))
                << unusual.name << " in " << FieldNames[field];
        }
    }
}

TEST_F(DlgEditCharactersTest, EveryFieldTakesTheTextExactlyAsTypedOrPasted)
{
    options.fPassGenAuto = false;
    for (const auto& way : WaysToEnterText) {
        for (const UnusualText& unusual : UnusualTexts) {
            auto dialog = Open(EditMode::Add);
            dialog->show();
            for (int field = 0; field < EntryFieldCount; ++field) {
                way.enter(Input(*dialog, field), unusual.text);
            }
            way.enter(Child<QLineEdit>(*dialog, "repeat"), unusual.text);
            Click(*dialog, "ok");
            ASSERT_EQ(dialog->result(), QDialog::Accepted) << unusual.name << ", " << way.name;
            const Entry expected(ToSecure(unusual.text), ToSecure(unusual.text), ToSecure(unusual.text),
                                 ToSecure(unusual.text), ToSecure(unusual.text), ToSecure(unusual.typedAsNotes));
            for (int field = 0; field < EntryFieldCount; ++field) {
                EXPECT_EQ(FieldText(dialog->Values(), field), FieldText(expected, field))
                    << unusual.name << ", " << way.name << ", in " << FieldNames[field];
            }
        }
    }
}

TEST_F(DlgEditCharactersTest, ChangedNotesKeepEveryCharacterTheUserDidNotTouch)
{
    for (const UnusualText& unusual : UnusualTexts) {
        for (const bool atEnd : {true, false}) {
            const std::u16string stored = unusual.text + u"\n" + unusual.text;
            auto dialog = Open(EditMode::Edit, MakeEntry(u"G", u"T", u"", u"", u"", stored));
            dialog->show();
            QPlainTextEdit* notes = Notes(*dialog);
            notes->moveCursor(atEnd ? QTextCursor::End : QTextCursor::Start);
            QTest::keyClicks(notes, "<x>");
            Click(*dialog, "ok");
            ASSERT_EQ(dialog->result(), QDialog::Accepted) << unusual.name;
            EXPECT_EQ(FromSecure(dialog->Values().notes), atEnd ? stored + u"<x>" : u"<x>" + stored)
                << unusual.name << (atEnd ? ", typed at the end" : ", typed at the start");
        }
    }
}

TEST_F(DlgEditCharactersTest, ChangedNotesKeepWhatWasTypedInTheMiddleAndTheirOwnLineBreaks)
{
    const struct
    {
        std::u16string stored;
        std::u16string typed;
        std::u16string expected;
    } cases[] = {
        {u"a\u00a0b\r\nc", u"x\u2028y\u00a0", u"a\u00a0bx\u2028y\u00a0\r\nc"},
        {u"a\r\nb", u"\nz", u"a\r\nz\r\nb"},
        {u"a\rb", u"\nz", u"a\rz\rb"},
        {u"a\nb\r\nc", u"\nz", u"a\nz\nb\r\nc"},
        {u"a\u2029b", u"\nz", u"a\u2029z\nb"},
        {u"ab", u"\u2029z", u"ab\nz"},
    };
    for (const auto& test : cases) {
        auto dialog = Open(EditMode::Edit, MakeEntry(u"G", u"T", u"", u"", u"", test.stored));
        dialog->show();
        // At the end of the notes' first line, as the user clicks there.
        QPlainTextEdit* notes = Notes(*dialog);
        notes->moveCursor(QTextCursor::Start);
        notes->moveCursor(QTextCursor::EndOfBlock);
        Commit(notes, test.typed);
        Click(*dialog, "ok");
        EXPECT_EQ(FromSecure(dialog->Values().notes), test.expected) << testing::PrintToString(test.stored);
    }
}
