#include "gui/mainwindow/SyncedFolder.h"

#include "core/session/DatabaseSession.h"
#include "core/settings/Options.h"
#include "gui/common/QtText.h"

SyncedFolder::SyncedFolder(DatabaseSession& session, const COptions& options, IFileTrash* trash,
                           std::function<bool()> canFollowNow, std::function<void()> followed)
    : session(session)
    , options(options)
    , canFollowNow(std::move(canFollowNow))
    , followed(std::move(followed))
    , follower([this] { return this->session.IsOpen() ? ToQString(this->options.LastPath) : QString(); },
               [this] { return FollowNow(); })
{
    if (trash != nullptr) {
        session.OfferConflictCopiesAfterOpening(*trash);
    }
}

bool SyncedFolder::FollowNow()
{
    if (!canFollowNow()) {
        return false;
    }
    const FollowResult result = session.FollowFile();
    if (result == FollowResult::Deferred) {
        return false;
    }
    if (result != FollowResult::Unchanged) {
        followed();
    }
    return true;
}
