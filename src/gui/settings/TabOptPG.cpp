#include "gui/settings/TabOptPG.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "core/settings/BuiltinTexts.h"
#include "core/settings/Options.h"
#include "gui/settings/ArrowNumberField.h"

CTabOptPG::CTabOptPG(const COptions& options, const ITextSource& texts, QWidget* parent)
    : OptionsPage(parent)
    , upperLetters(
          MakeCheckBox(this, texts, TextId::UpperCaseLetters, "fPassGenUpperLetters", options.fPassGenUpperLetters))
    , lowerLetters(
          MakeCheckBox(this, texts, TextId::LowerCaseLetters, "fPassGenLowerLetters", options.fPassGenLowerLetters))
    , numbers(MakeCheckBox(this, texts, TextId::Digits, "fPassGenNumbers", options.fPassGenNumbers))
    , specSymbols(MakeCheckBox(this, texts, TextId::SpecialSymbols, "fPassGenSpecSymbols", options.fPassGenSpecSymbols))
    , length(new ArrowNumberField(1, 100, this))
    , generateAuto(MakeCheckBox(this, texts, TextId::GenerateForNewEntry, "fPassGenAuto", options.fPassGenAuto))
{
    length->setObjectName(QStringLiteral("iPassGenLength"));
    length->setMinimumWidth(70);
    // A length of 0 or less generates nothing, so it is shown as no length at all.
    if (options.iPassGenLength > 0) {
        length->SetValue(options.iPassGenLength);
    }

    auto* characters = new QGroupBox(QtText(texts, TextId::UseCharacters), this);
    auto* characterLayout = new QVBoxLayout(characters);
    for (QCheckBox* box : {upperLetters, lowerLetters, numbers, specSymbols}) {
        characterLayout->addWidget(box);
    }
    auto* lengthRow = new QHBoxLayout;
    auto* label = new QLabel(QtText(texts, TextId::Length), this);
    label->setBuddy(length);
    lengthRow->addWidget(label);
    lengthRow->addWidget(length);
    lengthRow->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(characters);
    layout->addLayout(lengthRow);
    layout->addWidget(generateAuto);
    layout->addStretch();
}

void CTabOptPG::Read(COptions& options) const
{
    options.fPassGenUpperLetters = upperLetters->isChecked();
    options.fPassGenLowerLetters = lowerLetters->isChecked();
    options.fPassGenNumbers = numbers->isChecked();
    options.fPassGenSpecSymbols = specSymbols->isChecked();
    options.iPassGenLength = length->Value();
    options.fPassGenAuto = generateAuto->isChecked();
}
