#pragma once

#include <QAbstractSpinBox>

// A field number: an edit that takes up to two typed characters, with up and down arrows that step the number
// between 1 and 100. Typed text is kept as it is, numbers or not; Number() reads it.
class FieldNumberBox : public QAbstractSpinBox
{
    Q_OBJECT
public:
    static constexpr int Lowest = 1;
    static constexpr int Highest = 100;
    static constexpr int TypedLength = 2;

    FieldNumberBox(int number, QWidget* parent = nullptr);

    // The decimal value of the text; blanks around it and a sign are allowed, text that is not a number is 0.
    int Number() const;

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& position) const override;

protected:
    StepEnabled stepEnabled() const override;
};
