#pragma once

#include <QDialog>
#include <vector>

class COptions;
class CTranslate;
class IMessageReporter;
class OptionsPage;
class QTabWidget;

// The settings in six pages. Nothing is written back until OK, which reads every page, visited or not, and then
// loads the translation of the chosen language; Cancel and closing change nothing.
class CDlgOptions : public QDialog
{
    Q_OBJECT
public:
    CDlgOptions(COptions& options, CTranslate& translation, IMessageReporter& reporter, QWidget* parent = nullptr);

    void accept() override;
    QTabWidget* Tabs() const { return tabs; }

private:
    COptions& options;
    CTranslate& translation;
    QTabWidget* tabs;
    std::vector<OptionsPage*> pages;
};
