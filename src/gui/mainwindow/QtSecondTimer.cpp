#include "gui/mainwindow/QtSecondTimer.h"

QtSecondTimer::QtSecondTimer()
{
    timer.setInterval(1000);
    QObject::connect(&timer, &QTimer::timeout, [this] {
        if (onTick) {
            onTick();
        }
    });
}

void QtSecondTimer::SetTickHandler(std::function<void()> handler)
{
    onTick = std::move(handler);
}
