#pragma once

#include <filesystem>
#include <functional>

#include "cli/CliContext.h"
#include "core/common/AtomicFile.h"
#include "core/common/SecureString.h"

// Writes an export, which holds every password in clear, to the file at `path`. A regular file (new or replaced) is
// written atomically and left readable and writable by its owner only; permissions that were wider before are
// narrowed first, and the user is told. Anything else (a device, a pipe, /dev/stdout) is written into where it is,
// never replaced. Throws CliFailure naming the file and the reason when it cannot be written.
void WriteExportTarget(CliContext& context, const std::filesystem::path& path, const SecureBytes& bytes);
// The same, with the bytes made piece by piece by `produce` as they are written.
void WriteExportTarget(CliContext& context, const std::filesystem::path& path,
                       const std::function<void(const ContentSink&)>& produce);
