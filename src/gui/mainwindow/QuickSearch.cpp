#include "gui/mainwindow/QuickSearch.h"

#include <QAction>
#include <QWidget>

#include "gui/common/SecureText.h"
#include "gui/mainwindow/EntryListView.h"
#include "gui/mainwindow/SearchField.h"
#include "gui/mainwindow/Shortcuts.h"

QuickSearch::QuickSearch(EntryViews& views, SearchField& field, QWidget& window)
    : QObject(&window)
    , views(views)
    , field(field)
{
    auto* find = new QAction(&window);
    find->setShortcut(SearchShortcut());
    window.addAction(find);
    connect(find, &QAction::triggered, this, &QuickSearch::FocusField);
    connect(&field, &QLineEdit::textChanged, this, &QuickSearch::OnTextChanged);
    connect(&field, &SearchField::listRequested, this, &QuickSearch::FocusList);
    // Folding every entry's text takes longer than a keystroke may: it is done before the first key comes.
    connect(&field, &SearchField::focused, &views, &EntryViews::PrepareSearch);
    connect(&views, &EntryViews::searchEnded, this, &QuickSearch::Forget);
}

void QuickSearch::OnTextChanged(const QString& text)
{
    if (!text.isEmpty()) {
        if (!before) {
            before = ViewBefore{views.SelectedGroup(), views.CurrentSort()};
        }
        views.Search(ToSecureString(text));
    } else if (before) {
        const ViewBefore restored = std::move(*before);
        before.reset();
        views.EndSearch(restored.group, restored.sort);
    }
}

void QuickSearch::Forget()
{
    // The views have ended the search themselves; the text goes without bringing the earlier view back.
    before.reset();
    const QSignalBlocker blocker(&field);
    field.clear();
}

void QuickSearch::FocusField()
{
    field.setFocus(Qt::ShortcutFocusReason);
    field.selectAll();
}

void QuickSearch::FocusList()
{
    EntryListView* list = views.List();
    if (list->model()->rowCount() == 0) {
        return;
    }
    if (list->SelectedRow() < 0) {
        list->SelectRow(0);
    }
    list->setFocus(Qt::OtherFocusReason);
}
