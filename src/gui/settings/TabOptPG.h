#pragma once

#include "gui/settings/OptionsPage.h"

class ArrowNumberField;

// Password Generator: the character sets, the length and generating for a new entry.
class CTabOptPG : public OptionsPage
{
    Q_OBJECT
public:
    CTabOptPG(const COptions& options, const ITextSource& texts, QWidget* parent = nullptr);
    void Read(COptions& options) const override;

private:
    QCheckBox* upperLetters;
    QCheckBox* lowerLetters;
    QCheckBox* numbers;
    QCheckBox* specSymbols;
    ArrowNumberField* length;
    QCheckBox* generateAuto;
};
