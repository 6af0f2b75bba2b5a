#pragma once

#include <functional>

// A timer that ticks once a second until stopped. The window's clipboard and lock counters run on it, so tests can
// drive them tick by tick instead of waiting seconds.
class ISecondTimer
{
public:
    virtual ~ISecondTimer() = default;
    // Starts counting afresh; a running timer starts over.
    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;
    // Called on every tick.
    virtual void SetTickHandler(std::function<void()> handler) = 0;
};
