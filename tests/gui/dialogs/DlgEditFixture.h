#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "core/settings/Options.h"
#include "gui/GuiTestSupport.h"
#include "gui/dialogs/DlgEdit.h"
#include "support/MessageRecorder.h"

// Draws the same byte for ever, so generated passwords are predictable.
class FixedRandom : public IRandomSource
{
public:
    void Fill(unsigned char* data, std::size_t size) override
    {
        for (std::size_t index = 0; index < size; ++index) {
            data[index] = static_cast<unsigned char>(next++);
        }
    }
    unsigned next = 0;
};

class DlgEditFixture : private WithApplication, public ::testing::Test
{
protected:
    DlgEditFixture()
    {
        AddEntries(database, {MakeEntry(u"Email", u"Inbox", u"alice", u"pw", u"https://mail", u"line1\nline2"),
                              MakeEntry(u"Zoo", u"Keeper"), MakeEntry(u"apps", u"Editor")});
    }
    ~DlgEditFixture() override { CDlgEdit::SetFileChooser(nullptr); }

    std::unique_ptr<CDlgEdit> Open(EditMode mode, const std::optional<Entry>& values = std::nullopt,
                                   const std::optional<EntryKey>& selected = std::nullopt)
    {
        return std::make_unique<CDlgEdit>(mode, database, options, texts, values, selected, nullptr, random);
    }
    template <class Widget> static Widget* Child(CDlgEdit& dialog, const char* name)
    {
        auto* widget = dialog.findChild<Widget*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    static QLineEdit* Field(CDlgEdit& dialog, const char* name) { return Child<QLineEdit>(dialog, name); }
    static void Click(CDlgEdit& dialog, const char* name)
    {
        QTest::mouseClick(Child<QPushButton>(dialog, name), Qt::LeftButton);
    }
    static void Type(CDlgEdit& dialog, const char* name, const QString& text)
    {
        QLineEdit* field = Field(dialog, name);
        field->clear();
        QTest::keyClicks(field, text);
    }

    MessageRecorder recorder;
    BuiltinTextSource texts;
    CDataBase database{recorder, texts};
    COptions options;
    FixedRandom random;
};
