#pragma once

#include <string>

// How the lifecycle keeps the window's views in step with the open database.
class ISessionView
{
public:
    virtual ~ISessionView() = default;
    // Rebuilds the list's columns and fills the tree and list from the collection.
    virtual void FillViews() = 0;
    // Empties the tree, the list and its columns, and the status panes.
    virtual void ClearViews() = 0;
    // Enables the commands for an open database, or disables them; no entry is current afterwards.
    virtual void EnableCommands(bool databaseOpen) = 0;
    virtual void ShowPath(const std::u16string& path) = 0;
    // Shows the collection again after an entry was replaced, removed or put back, keeping the selected group. A
    // view that lists no entries needs nothing here.
    virtual void ShowChangedEntries() {}
    // Another program's version of the file is about to replace the collection: the views let go of their rows and
    // remember the selected group and entry.
    virtual void BeforeReload() { ClearViews(); }
    // The collection holds that version: the views show it, selecting again what was selected where it still
    // exists, with `note` in the status bar.
    virtual void AfterReload(const std::u16string& note)
    {
        (void)note;
        FillViews();
    }
};

// The views of a program that shows none (the command line, benchmarks): nothing to keep in step.
class NoSessionView final : public ISessionView
{
public:
    void FillViews() override {}
    void ClearViews() override {}
    void EnableCommands(bool) override {}
    void ShowPath(const std::u16string&) override {}
};
