#include "core/database/FileReplacedCheck.h"

#include "core/common/AtomicFile.h"

const std::u16string FileReplacedMessage =
    u"The database file was changed by another program after it was read; nothing was written, to keep that "
    u"program's change. Open the database again, then repeat your change.";

FileReplaced::FileReplaced()
    : TargetCheckFailed(FileReplacedMessage)
{}

void RefuseIfReplaced(const struct stat* existing, const std::optional<FileVersion>& versionRead)
{
    if (existing != nullptr && (!versionRead || FileVersion::Of(*existing) != *versionRead)) {
        throw FileReplaced();
    }
}
