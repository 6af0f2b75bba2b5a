#include "gui/common/LayoutIndicator.h"

#include "platform/KeyboardLayout.h"

namespace {
constexpr int RefreshPeriod = 500;
} // namespace

LayoutIndicator::LayoutIndicator(QWidget* parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("layoutIndicator"));
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, QColor(0, 191, 240));
    setPalette(colours);
    setAutoFillBackground(false);
    setAlignment(Qt::AlignCenter);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    Refresh();
    timer.setInterval(RefreshPeriod);
    connect(&timer, &QTimer::timeout, this, &LayoutIndicator::Refresh);
    timer.start();
}

void LayoutIndicator::Refresh()
{
    const std::string name = ActiveKeyboardLayoutName();
    if (name.empty()) {
        return;
    }
    setText(QString::fromStdString(name));
}
