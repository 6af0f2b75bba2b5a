#include "gui/mainwindow/SyncedFolder.h"

#include "core/session/DatabaseSession.h"
#include "core/settings/Options.h"
#include "gui/common/QtText.h"

SyncedFolder::SyncedFolder(DatabaseSession& session, const COptions& options, IFileTrash* trash,
                           std::function<bool()> canFollowNow, std::function<void()> followed)
    : session(session)
    , options(options)
    , trash(trash)
    , canFollowNow(std::move(canFollowNow))
    , followed(std::move(followed))
    , follower([this] { return this->session.IsOpen() ? ToQString(this->options.LastPath) : QString(); },
               [this] { return FollowNow(); })
{}

bool SyncedFolder::FollowNow()
{
    if (!session.IsOpen()) {
        return true;
    }
    if (!canFollowNow() || session.IsOpening()) {
        return false;
    }
    if (session.FollowFile() != FollowResult::Unchanged) {
        followed();
    }
    return true;
}

void SyncedFolder::OfferConflictCopies()
{
    if (trash != nullptr && session.IsOpen()) {
        session.OfferConflictCopies(*trash);
        followed();
    }
}
