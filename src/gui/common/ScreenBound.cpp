#include "gui/common/ScreenBound.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {
constexpr int ShareOfTheScreen = 3;
constexpr int ComboBoxCharacters = 24;
} // namespace

int MaxValueWidth(const QWidget* widget)
{
    const QScreen* screen = widget != nullptr ? widget->screen() : QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry().width() / ShareOfTheScreen : 400;
}

QString ElidedInTheMiddle(const QString& text, const QFontMetrics& metrics, int width)
{
    return metrics.elidedText(text, Qt::ElideMiddle, width);
}

void BoundComboBox(QComboBox& box)
{
    box.setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box.setMinimumContentsLength(ComboBoxCharacters);
    box.view()->setTextElideMode(Qt::ElideMiddle);
    box.view()->setMaximumWidth(MaxValueWidth(&box) * 2);
    for (int item = 0; item < box.count(); ++item) {
        box.setItemData(item, box.itemText(item), Qt::ToolTipRole);
    }
}
