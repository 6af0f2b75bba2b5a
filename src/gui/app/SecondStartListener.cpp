#include "gui/app/SecondStartListener.h"

#include <QSocketNotifier>

#include "gui/mainwindow/DlgMain.h"
#include "platform/InstanceChannel.h"

SecondStartListener::SecondStartListener(std::unique_ptr<InstanceChannel> heard, CDlgMain& window)
    : channel(std::move(heard))
    , window(window)
{
    if (channel) {
        notifier = new QSocketNotifier(channel->Descriptor(), QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, &SecondStartListener::Hear);
    }
}

SecondStartListener::~SecondStartListener() = default;

void SecondStartListener::Hear()
{
    // The window's prompts run event loops of their own, in which the next start may already knock: it waits in the
    // channel until this one has been dealt with.
    notifier->setEnabled(false);
    if (const std::optional<InstanceRequest> request = channel->Accept()) {
        if (request->file.empty()) {
            window.BringToFront();
        } else {
            window.OpenFileFromOutside(request->file);
        }
    }
    notifier->setEnabled(true);
}
