#pragma once

#include <initializer_list>

class QCheckBox;
class QLineEdit;

class QWidget;

// Masks the password fields of the widget and its children with "*", as their check boxes say "(***)".
void MaskWithAsterisks(QWidget& widget);

// Ticks the box, masks the fields, and from then on masks them while the box is ticked and shows them in clear
// while it is not.
void ConnectMasking(QCheckBox& hideBox, std::initializer_list<QLineEdit*> fields);
