#include "support/LockHolder.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

LockHolder::LockHolder(const std::function<bool()>& take)
{
    int ready[2];
    if (::pipe(ready) != 0) {
        return;
    }
    child = ::fork();
    if (child == 0) {
        ::close(ready[0]);
        const char flag = take() ? '1' : '0';
        [[maybe_unused]] const ssize_t written = ::write(ready[1], &flag, 1);
        for (;;) {
            ::pause();
        }
    }
    ::close(ready[1]);
    char flag = 0;
    holds = child > 0 && ::read(ready[0], &flag, 1) == 1 && flag == '1';
    ::close(ready[0]);
}

LockHolder::~LockHolder()
{
    Kill();
}

void LockHolder::Kill()
{
    if (child > 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        child = -1;
    }
}
