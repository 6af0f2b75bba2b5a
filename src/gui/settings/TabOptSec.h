#pragma once

#include "gui/settings/OptionsPage.h"

class ArrowNumberField;

// Security: clearing the clipboard and locking the database.
class CTabOptSec : public OptionsPage
{
    Q_OBJECT
public:
    CTabOptSec(const COptions& options, const ITextSource& texts, QWidget* parent = nullptr);
    void Read(COptions& options) const override;

private:
    QCheckBox* clearClipboardTime;
    ArrowNumberField* clearClipboardSeconds;
    QCheckBox* clearClipboardExit;
    QCheckBox* lockDBAuto;
    ArrowNumberField* lockDBSeconds;
    QCheckBox* lockDBMin;
};
