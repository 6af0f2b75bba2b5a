#pragma once

#include "core/settings/Options.h"
#include "gui/settings/OptionsPage.h"

class IMessageReporter;
class QLineEdit;

// Portable Version: the target and options of a portable installation, and the button that starts it. Sets no
// setting.
class CTabOptPV : public OptionsPage
{
    Q_OBJECT
public:
    CTabOptPV(const COptions& options, const ITextSource& texts, IMessageReporter& reporter, QWidget* parent = nullptr);
    void Read(COptions&) const override {}

private:
    void Browse();
    void Install();

    const COptions& options;
    const ITextSource& texts;
    IMessageReporter& reporter;
    QLineEdit* path;
    QCheckBox* subfolder;
    QCheckBox* copySettings;
    QCheckBox* copyDatabase;
};
