#pragma once

#include <chrono>

#include "core/common/TextSource.h"
#include "core/session/IBackgroundWork.h"

class QWidget;

// Runs the session's long file work on a worker thread while the GUI thread goes on painting and running its
// timers. Work that takes longer than a moment gets a modal progress dialog; until it shows, the user's clicks and
// keys wait for the work to end. A failure of the work is thrown again on the caller's thread.
class ProgressWork : public IBackgroundWork
{
public:
    static constexpr std::chrono::milliseconds DefaultShowAfter{400};

    // The dialog goes over the active modal dialog, or over `window` when there is none.
    ProgressWork(const ITextSource& texts, QWidget* window, std::chrono::milliseconds showAfter = DefaultShowAfter);

    void Run(FileWork kind, const std::function<void()>& work) override;
    // While it is true the work owns the collection and the open file: nothing else may change or read them.
    bool IsRunning() const { return running; }

private:
    QWidget* DialogParent() const;

    const ITextSource& texts;
    QWidget* window;
    std::chrono::milliseconds showAfter;
    bool running = false;
};
