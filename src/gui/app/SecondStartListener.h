#pragma once

#include <QObject>
#include <memory>

class CDlgMain;
class InstanceChannel;
class QSocketNotifier;

// Hears the later starts of the program while its window runs, and hands each one's request to the window: a file
// to open, or only to come to the front.
class SecondStartListener : public QObject
{
    Q_OBJECT
public:
    // Listens on `channel` (none: no later start is heard) for `window`, which must outlive the listener.
    SecondStartListener(std::unique_ptr<InstanceChannel> channel, CDlgMain& window);
    ~SecondStartListener() override;

private:
    void Hear();

    std::unique_ptr<InstanceChannel> channel;
    CDlgMain& window;
    QSocketNotifier* notifier = nullptr;
};
