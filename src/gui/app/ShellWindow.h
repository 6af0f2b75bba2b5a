#pragma once

#include <QDialog>

// The program's main window until the full one takes its place: titled "Lockmere", run modally, ended with Escape
// or the close button.
class CShellWindow : public QDialog
{
    Q_OBJECT

public:
    CShellWindow();
};
