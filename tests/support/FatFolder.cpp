#include "support/FatFolder.h"

#include <sys/mount.h>
#include <unistd.h>

#include "support/ChildProcess.h"

namespace {
std::filesystem::path FindTool(const std::string& name)
{
    for (const char* folder : {"/usr/sbin", "/sbin", "/usr/bin", "/bin"}) {
        const std::filesystem::path candidate = std::filesystem::path(folder) / name;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

std::string Trimmed(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}
} // namespace

FatFolder::FatFolder()
{
    std::filesystem::create_directory(mountPoint);
    mounted = Mount();
}

FatFolder::~FatFolder()
{
    if (mounted) {
        ::umount2(mountPoint.c_str(), MNT_DETACH);
    }
}

bool FatFolder::Mount()
{
    if (::geteuid() != 0) {
        reason = "mounting a FAT image needs root";
        return false;
    }
    const std::filesystem::path mkfs = FindTool("mkfs.vfat");
    if (mkfs.empty()) {
        reason = "mkfs.vfat (dosfstools) is not installed";
        return false;
    }
    WriteFileBytes(image, "");
    std::filesystem::resize_file(image, 32 << 20);
    const ProgramResult made = RunProgram(mkfs, {image.string()});
    if (made.exitCode != 0) {
        reason = "mkfs.vfat failed: " + Trimmed(made.err);
        return false;
    }
    const ProgramResult kernel =
        RunProgram(FindTool("mount"), {"-t", "vfat", "-o", "loop", image.string(), mountPoint.string()});
    if (kernel.exitCode == 0) {
        kind = "vfat";
        return true;
    }
    reason = "the kernel's vfat through a loop device: " + Trimmed(kernel.err);
    const std::filesystem::path fusefat = FindTool("fusefat");
    if (fusefat.empty() || ::access("/dev/fuse", R_OK | W_OK) != 0) {
        reason += "; and no fusefat with /dev/fuse to mount it otherwise";
        return false;
    }
    // The daemon keeps what it was given as output open: through files, so that waiting for the start ends.
    const std::filesystem::path errors = workspace / "fusefat.err";
    const ProgramResult fuse =
        RunProgram("/bin/sh", {"-c", "\"$0\" -o rw+ \"$1\" \"$2\" >/dev/null 2>\"$3\" </dev/null", fusefat.string(),
                               image.string(), mountPoint.string(), errors.string()});
    if (fuse.exitCode != 0) {
        reason += "; fusefat: " + Trimmed(ReadFileBytes(errors));
        return false;
    }
    kind = "fusefat";
    return true;
}
