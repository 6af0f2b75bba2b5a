#pragma once

#include <QString>

class QComboBox;
class QFontMetrics;
class QWidget;

// Long values (a group name of hundreds of characters) must not make a window, a menu or a column wider than the
// screen: what would not fit is cut out of the middle, marked "…", and the whole text is given as the tool tip.

// The widest a single value may be shown: a third of the available width of the widget's screen (the primary
// screen for none).
int MaxValueWidth(const QWidget* widget = nullptr);
// The text with its middle cut out to `width` pixels; unchanged when it fits.
QString ElidedInTheMiddle(const QString& text, const QFontMetrics& metrics, int width);
// A combo box whose width does not follow its items, whose list elides them in the middle and gives each whole as
// its tool tip. Call after the items are in.
void BoundComboBox(QComboBox& box);
