#include "gui/importexport/FieldNumberBox.h"

#include <QLineEdit>
#include <algorithm>

FieldNumberBox::FieldNumberBox(int number, QWidget* parent)
    : QAbstractSpinBox(parent)
{
    // The arrows may reach 100 although typing stops at two characters, so the limit is the validator's, which
    // sees only typing, and not the edit's maximum length, which would cut "100" to "10".
    lineEdit()->setText(QString::number(number));
    setAccelerated(true);
}

int FieldNumberBox::Number() const
{
    bool isNumber = false;
    const int number = text().toInt(&isNumber, 10);
    return isNumber ? number : 0;
}

void FieldNumberBox::stepBy(int steps)
{
    const int stepped = std::clamp(Number() + steps, Lowest, Highest);
    lineEdit()->setText(QString::number(stepped));
    selectAll();
}

QValidator::State FieldNumberBox::validate(QString& input, int&) const
{
    return input.size() <= TypedLength ? QValidator::Acceptable : QValidator::Invalid;
}

QAbstractSpinBox::StepEnabled FieldNumberBox::stepEnabled() const
{
    if (!isEnabled()) {
        return StepNone;
    }
    const int number = Number();
    StepEnabled enabled = StepNone;
    if (number < Highest) {
        enabled |= StepUpEnabled;
    }
    if (number > Lowest) {
        enabled |= StepDownEnabled;
    }
    return enabled;
}
