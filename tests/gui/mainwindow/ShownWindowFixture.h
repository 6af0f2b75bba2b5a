#pragma once

#include <QTest>
#include <QTreeWidget>

#include "gui/mainwindow/EntryListModel.h"
#include "gui/mainwindow/EntryListView.h"
#include "gui/mainwindow/EntryViews.h"
#include "gui/mainwindow/SearchField.h"
#include "gui/mainwindow/WindowOnFakeDesktop.h"

// The shown and active main window over a database of entries in four groups, its clipboard and timers faked.
class ShownWindowFixture : public WindowOnFakeDesktop
{
protected:
    ShownWindowFixture()
        : WindowOnFakeDesktop(false)
    {}

    void SetUp() override
    {
        WriteDatabaseFile(path, {MakeEntry(u"Mail", u"Work", u"anna", u"Geheim", u"https://mail.example"),
                                 MakeEntry(u"Mail", u"Privat", u"bob", u"x1", u"https://web.example"),
                                 MakeEntry(u"Bank", u"Girokonto", u"ÄRGER", u"Straße", u"", u"PIN am Schalter"),
                                 MakeEntry(u"Сеть", u"Роутер", u"admin", u"пароль", u"192.168.0.1")});
        options.fLastDB = true;
        options.LastPath = path.u16string();
        options.fAutoLoginMenuEdit = true;
        CreateWindow(u"");
        driver.Then(TypePassword(QStringLiteral("pw")));
        window->Start();
        ASSERT_TRUE(window->Session().IsOpen());
        Activate();
        driver.titles.clear();
        messages.Reset();
    }

    // Shortcuts go to the active window, and a dialog, such as the password prompt, takes that away.
    void Activate()
    {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    SearchField& Search() { return *window->findChild<SearchField*>(); }
    EntryListView& List() { return *window->EntryList(); }
    QStringList ListedTitles()
    {
        const EntryListModel& model = *window->Views().Model();
        QStringList titles;
        for (int row = 0; row < model.rowCount(); ++row) {
            titles << model.index(row, model.ColumnOf(EntryField::Title)).data().toString();
        }
        return titles;
    }
    QString TreeSelection() { return window->GroupTree()->currentItem()->text(0); }
    void SelectGroup(const QString& group)
    {
        window->GroupTree()->setCurrentItem(window->GroupTree()->findItems(group, Qt::MatchRecursive)[0]);
    }
};
