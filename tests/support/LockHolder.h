#pragma once

#include <sys/types.h>

#include <functional>

// Another process holding a lock: a forked child runs `take`, reports whether it got the lock, and then keeps it
// (with everything `take` left open) until it is killed, like a program that crashes while holding its lock.
class LockHolder
{
public:
    explicit LockHolder(const std::function<bool()>& take);
    ~LockHolder();
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    // True when the child took the lock.
    bool Holds() const { return holds; }
    // Ends the child with SIGKILL, as a crash would, and waits for it.
    void Kill();

private:
    pid_t child = -1;
    bool holds = false;
};
