#include "cli/ExportTarget.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "cli/CliCommand.h"
#include "cli/FileChecks.h"
#include "core/common/AtomicFile.h"
#include "core/common/UniqueFd.h"
#include "core/common/Utf.h"

namespace {
constexpr mode_t OwnerOnly = S_IRUSR | S_IWUSR;

// Writes into a file that is not replaced: a device or a pipe has no folder entry a rename could swap.
void WriteInto(const std::filesystem::path& path, const std::function<void(const ContentSink&)>& produce)
{
    UniqueFd descriptor(::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
    if (!descriptor.Valid()) {
        throw CliFailure(FileProblem(path, errno));
    }
    produce([&](std::span<const unsigned char> bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t written = ::write(descriptor.Get(), bytes.data() + done, bytes.size() - done);
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                throw CliFailure(FileProblem(path, written < 0 ? errno : EIO));
            }
            done += static_cast<std::size_t>(written);
        }
    });
    if (const int error = descriptor.Close(); error != 0 && error != EINTR) {
        throw CliFailure(FileProblem(path, error));
    }
}

// Narrows an existing file to the owner before the export lands in it: the atomic write keeps the permissions of
// the file it replaces.
void NarrowPermissions(CliContext& context, const std::filesystem::path& path, mode_t mode)
{
    if ((mode & ~OwnerOnly & 07777) == 0) {
        return;
    }
    if (::chmod(path.c_str(), OwnerOnly) != 0) {
        throw CliFailure(FileProblem(path, errno));
    }
    context.reporter.ShowMessage(Utf8ToUtf16(path.string() +
                                             ": the permissions were narrowed to owner read and write (0600), as the "
                                             "export holds passwords in clear."),
                                 MessageIcon::Warning);
}
} // namespace

void WriteExportTarget(CliContext& context, const std::filesystem::path& path, const SecureBytes& bytes)
{
    WriteExportTarget(context, path, [&bytes](const ContentSink& sink) { sink(bytes); });
}

void WriteExportTarget(CliContext& context, const std::filesystem::path& path,
                       const std::function<void(const ContentSink&)>& produce)
{
    struct stat status
    {};
    if (::stat(path.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode)) {
            WriteInto(path, produce);
            return;
        }
        NarrowPermissions(context, path, status.st_mode);
    }
    try {
        WriteFileAtomicallyInPieces(path, produce, FileReplacement({}, FileSystemCalls::System(), OwnerOnly));
    } catch (const FileWriteError& error) {
        throw CliFailure(error.what());
    }
}
