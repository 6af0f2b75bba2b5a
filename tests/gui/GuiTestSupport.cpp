#include "GuiTestSupport.h"

#include "gui/mainwindow/EntryViews.h"

Entry MakeEntry(std::u16string_view group, std::u16string_view title, std::u16string_view username,
                std::u16string_view password, std::u16string_view url, std::u16string_view notes)
{
    return Entry(ToSecure(group), ToSecure(title), ToSecure(username), ToSecure(password), ToSecure(url),
                 ToSecure(notes));
}

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

void ViewsAdapter::ClearViews()
{
    views.ClearViews();
}
