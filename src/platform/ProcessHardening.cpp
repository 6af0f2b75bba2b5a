#include "platform/ProcessHardening.h"

#include <sys/prctl.h>
#include <sys/resource.h>

bool HardenProcess()
{
    const bool notDumpable = ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
    // The hard limit too, so that nothing later in the process can raise it again.
    const struct rlimit noCore
    {
        0, 0
    };
    const bool noCoreFile = ::setrlimit(RLIMIT_CORE, &noCore) == 0;
    return notDumpable && noCoreFile;
}
