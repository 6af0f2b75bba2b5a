#pragma once

#include <QAbstractSpinBox>
#include <cstdint>
#include <optional>

// A number that changes only by its up-down arrows (mouse or arrow keys), one step at a time, within a range. Unlike
// QSpinBox it keeps a value loaded from outside the range, shown as it is, until the arrows are used; it may also
// start empty. Shows plain decimal digits.
class ArrowNumberField : public QAbstractSpinBox
{
    Q_OBJECT
public:
    ArrowNumberField(std::int32_t minimum, std::int32_t maximum, QWidget* parent = nullptr);

    // nullopt leaves the field empty.
    void SetValue(std::optional<std::int32_t> value);
    // The number shown; an empty field reads as 0.
    std::int32_t Value() const { return value.value_or(0); }

    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    std::int32_t minimum;
    std::int32_t maximum;
    std::optional<std::int32_t> value;
};
