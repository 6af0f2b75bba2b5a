#include "gui/settings/ArrowNumberField.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

ArrowNumberField::ArrowNumberField(std::int32_t minimum, std::int32_t maximum, QWidget* parent)
    : QAbstractSpinBox(parent)
    , minimum(minimum)
    , maximum(maximum)
{
    lineEdit()->setReadOnly(true);
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(false);
}

void ArrowNumberField::SetValue(std::optional<std::int32_t> newValue)
{
    value = newValue;
    lineEdit()->setText(value ? QString::number(*value) : QString());
    update();
}

void ArrowNumberField::stepBy(int steps)
{
    if (steps == 0) {
        return;
    }
    // One step per press however the press arrives; a value from outside the range comes back to its nearest end.
    const std::int64_t stepped = std::int64_t{Value()} + (steps > 0 ? 1 : -1);
    SetValue(static_cast<std::int32_t>(std::clamp<std::int64_t>(stepped, minimum, maximum)));
}

QAbstractSpinBox::StepEnabled ArrowNumberField::stepEnabled() const
{
    StepEnabled enabled = StepNone;
    if (Value() < maximum) {
        enabled |= StepUpEnabled;
    }
    if (Value() > minimum) {
        enabled |= StepDownEnabled;
    }
    return enabled;
}

void ArrowNumberField::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        stepBy(1);
        event->accept();
        return;
    case Qt::Key_Down:
        stepBy(-1);
        event->accept();
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        event->ignore();
        return;
    default:
        QAbstractSpinBox::keyPressEvent(event);
    }
}

void ArrowNumberField::wheelEvent(QWheelEvent* event)
{
    event->ignore();
}
