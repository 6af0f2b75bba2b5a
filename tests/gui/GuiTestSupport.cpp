#include "GuiTestSupport.h"

#include <QApplication>
#include <cstdlib>

#include "gui/mainwindow/EntryViews.h"

// The program's images live in the static GUI library, whose resources a test program must register itself. Outside
// any namespace, because the registration names a function of the global one.
static void RegisterResources()
{
    Q_INIT_RESOURCE(resources);
}

void EnsureApplication()
{
    if (QApplication::instance() != nullptr) {
        return;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "lockmere_gui_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    RegisterResources();
}

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
