#include "GuiTestSupport.h"

#include "gui/mainwindow/EntryViews.h"

void AddEntries(CDataBase& database, const std::vector<Entry>& entries)
{
    for (const Entry& entry : entries) {
        database.Insert(entry.Key(), entry.Fields());
    }
}

bool ScriptedPrompts::AskOkCancel(const std::u16string& question)
{
    questions.push_back(question);
    if (answers.empty()) {
        return false;
    }
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

void ViewsAdapter::FillViews()
{
    ++fills;
    views.RebuildColumns();
    views.FillViews(true);
}

void ViewsAdapter::ShowChangedEntries()
{
    views.FillViews(true);
}

void ViewsAdapter::ClearViews()
{
    views.ClearViews();
}
