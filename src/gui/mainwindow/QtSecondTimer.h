#pragma once

#include <QTimer>

#include "gui/mainwindow/SecondTimer.h"

// The one-second timer on the window's event loop, so a tick never interrupts a command.
class QtSecondTimer : public ISecondTimer
{
public:
    QtSecondTimer();
    void Start() override { timer.start(); }
    void Stop() override { timer.stop(); }
    bool IsActive() const override { return timer.isActive(); }
    void SetTickHandler(std::function<void()> handler) override;

private:
    QTimer timer;
    std::function<void()> onTick;
};
