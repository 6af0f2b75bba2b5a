#pragma once

#include <string>

#include "gui/settings/OptionsPage.h"

// Form Filling: where paste and auto-login are offered, and the help page about them.
class CTabOptFF : public OptionsPage
{
    Q_OBJECT
public:
    CTabOptFF(const COptions& options, const ITextSource& texts, QWidget* parent = nullptr);
    void Read(COptions& options) const override;

private:
    void EnableGrouping();

    std::u16string language;
    QCheckBox* pasteMenuEdit;
    QCheckBox* pasteMenuTray;
    QCheckBox* autoLoginMenuEdit;
    QCheckBox* autoLoginMenuTray;
    QCheckBox* groupEntriesTray;
};
