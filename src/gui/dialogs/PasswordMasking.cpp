#include "gui/dialogs/PasswordMasking.h"

#include <QCheckBox>
#include <QLineEdit>
#include <vector>

void MaskWithAsterisks(QWidget& widget)
{
    widget.setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
}

void ConnectMasking(QCheckBox& hideBox, std::initializer_list<QLineEdit*> fields)
{
    const std::vector<QLineEdit*> masked(fields);
    auto apply = [masked](bool hide) {
        for (QLineEdit* field : masked) {
            field->setEchoMode(hide ? QLineEdit::Password : QLineEdit::Normal);
        }
    };
    for (QLineEdit* field : masked) {
        MaskWithAsterisks(*field);
    }
    hideBox.setChecked(true);
    apply(true);
    QObject::connect(&hideBox, &QCheckBox::toggled, &hideBox, apply);
}
