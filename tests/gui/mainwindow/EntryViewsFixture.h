#pragma once

#include <QHBoxLayout>
#include <QLabel>
#include <QTreeWidget>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

#include "core/settings/Options.h"
#include "gui/GuiTestSupport.h"
#include "gui/mainwindow/EntryListModel.h"
#include "gui/mainwindow/EntryListView.h"
#include "gui/mainwindow/EntryViews.h"
#include "support/MessageRecorder.h"

// A window holding the real tree and list over a collection, with the two status panes.
class EntryViewsFixture : private WithApplication, public ::testing::Test
{
protected:
    EntryViewsFixture()
    {
        window = std::make_unique<QWidget>();
        window->resize(900, 500);
        views = new EntryViews(database, options, texts, window.get());
        views->SetStatusPanes(&groupPane, &countPane);
        auto* layout = new QHBoxLayout(window.get());
        layout->addWidget(views->GroupTree());
        layout->addWidget(views->List(), 1);
    }

    void Show() { window->show(); }
    void Fill()
    {
        views->RebuildColumns();
        views->FillViews(true);
    }

    EntryListModel& Model() { return *views->Model(); }
    EntryListView& List() { return *views->List(); }
    QTreeWidget& Tree() { return *views->GroupTree(); }

    QStringList Headers()
    {
        QStringList headers;
        for (int column = 0; column < Model().columnCount(); ++column) {
            headers << Model().headerData(column, Qt::Horizontal).toString();
        }
        return headers;
    }
    QString Cell(int row, int column) { return Model().index(row, column).data().toString(); }
    QStringList ColumnTexts(int column)
    {
        QStringList texts;
        for (int row = 0; row < Model().rowCount(); ++row) {
            texts << Cell(row, column);
        }
        return texts;
    }
    QStringList TreeGroups()
    {
        QStringList groups;
        QTreeWidgetItem* root = Tree().topLevelItem(0);
        for (int child = 0; root && child < root->childCount(); ++child) {
            groups << root->child(child)->text(0);
        }
        return groups;
    }
    void SelectGroup(const QString& name)
    {
        QTreeWidgetItem* root = Tree().topLevelItem(0);
        for (int child = 0; child < root->childCount(); ++child) {
            if (root->child(child)->text(0) == name) {
                Tree().setCurrentItem(root->child(child));
                return;
            }
        }
        FAIL() << "no group " << name.toStdString();
    }
    void SelectRoot() { Tree().setCurrentItem(Tree().topLevelItem(0)); }
    QString CurrentTitle()
    {
        const auto key = views->CurrentKey();
        return key ? QString::fromStdU16String(FromSecure(key->title)) : QString();
    }

    MessageRecorder recorder;
    BuiltinTextSource texts;
    CDataBase database{recorder, texts};
    COptions options;
    QLabel groupPane;
    QLabel countPane;
    std::unique_ptr<QWidget> window;
    EntryViews* views = nullptr;
};
