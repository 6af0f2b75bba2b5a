#pragma once

#include <map>

#include "core/common/TextSource.h"

class COptions;
class CommandTable;
class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// Keeps the main window's menu bar: builds it from the template, translates every caption, inserts the
// form-filling commands the settings ask for, puts images on the main items, and enables items by the state of
// the window, each by its command's rule in the window's command table. Every item carries its command id as its
// data, so one handler dispatches them all.
class CMainMenu
{
public:
    CMainMenu(const ITextSource& texts, const COptions& options, const CommandTable& commands);
    virtual ~CMainMenu() = default;

    CMainMenu(const CMainMenu&) = delete;
    CMainMenu& operator=(const CMainMenu&) = delete;

    void Build(QMenuBar* menu, bool paste, bool autoLogin);
    // D: a database is open and not locked; S: the list has a current item; G: the tree shows a group, not the
    // root.
    void EnableItems(bool databaseOpen, bool hasSelection, bool groupSelected);
    void Rebuild(bool paste, bool autoLogin, QWidget* window);

    // The item with that command id, or null.
    QAction* Action(int command) const;
    QMenu* FileMenu() const { return fileMenu; }
    QMenu* EditMenu() const { return editMenu; }
    QMenu* HelpMenu() const { return helpMenu; }

private:
    void CreateTemplate();
    void Translate();
    void Insert();
    void LoadImages();
    QAction* AddCommand(QMenu* menu, int command);

    const ITextSource& texts;
    const COptions& options;
    const CommandTable& rules;
    QMenuBar* menu = nullptr;
    bool paste = false;
    bool autoLogin = false;

    QMenu* fileMenu = nullptr;
    QMenu* importMenu = nullptr;
    QMenu* exportMenu = nullptr;
    QMenu* editMenu = nullptr;
    QMenu* urlMenu = nullptr;
    QMenu* sortMenu = nullptr;
    // The separator after Copy Password: the form-filling commands are inserted before it.
    QAction* formFillingAnchor = nullptr;
    // The separator inserted with the form-filling commands, if any.
    QAction* formFillingSeparator = nullptr;
    QMenu* helpMenu = nullptr;
    QAction* optionsItem = nullptr;
    std::map<int, QAction*> commands;
};
