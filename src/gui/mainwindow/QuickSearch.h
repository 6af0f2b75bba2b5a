#pragma once

#include <QObject>
#include <optional>

#include "gui/mainwindow/EntryViews.h"

class SearchField;
class QWidget;

// Filters the entry list by the search field's text as the user types: the views list the matching entries of
// every group under the tree's root, and emptying the field brings back the group and the sort chosen before.
class QuickSearch : public QObject
{
    Q_OBJECT
public:
    // The search shortcut works anywhere in `window`.
    QuickSearch(EntryViews& views, SearchField& field, QWidget& window);

private:
    void OnTextChanged(const QString& text);
    void FocusField();
    void FocusList();
    void Forget();

    // What the list showed before the search began.
    struct ViewBefore
    {
        std::optional<SecureString> group;
        EntryViews::SortState sort;
    };

    EntryViews& views;
    SearchField& field;
    std::optional<ViewBefore> before;
};
