#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>

#include "core/common/AtomicFile.h"
#include "core/common/FileVersion.h"

// What RefuseIfReplaced throws: the save can merge the other program's version instead of giving up.
class FileReplaced : public TargetCheckFailed
{
public:
    FileReplaced();
};

// The one rule, for the desktop program and the command line alike, for "the file was replaced by another program":
// a save may replace only the version of the file that was read (or none, when it has vanished meanwhile: nothing
// of anybody's is lost by writing it again). Writing over another version would silently undo that program's change.
// Throws FileReplaced, a TargetCheckFailed with the message for the user; used as, or inside, the check of an atomic
// write.
void RefuseIfReplaced(const struct stat* existing, const std::optional<FileVersion>& versionRead);

extern const std::u16string FileReplacedMessage;
