#include "core/common/UnpublishedFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "core/common/AtomicFile.h"
#include "core/common/InterruptCleanup.h"

namespace {
// Our temporary names are NAME.XXXXXX.lockmere-tmp: the suffix tells them from anybody else's files.
constexpr std::string_view TemporarySuffix = ".lockmere-tmp";
constexpr std::size_t RandomPartLength = 6;
constexpr int NameAttempts = 100;

[[noreturn]] void Fail(const std::string& what, int error)
{
    throw FileWriteError(what + ": " + std::strerror(error));
}

std::filesystem::path FolderOf(const std::filesystem::path& target)
{
    const std::filesystem::path folder = target.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

// The answers of a file system that cannot make a file without a name (or of a kernel that does not know how).
bool UnnamedFilesUnsupported(int error)
{
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL || error == ENOSYS;
}

// A file system without permissions of its own files (FAT, as on most USB sticks) refuses or does not know how to set
// them; its files all take the permissions the drive was mounted with, and a save there must still work.
bool KeepsNoPermissions(int error)
{
    return error == EPERM || error == ENOSYS || error == EOPNOTSUPP;
}

std::string RandomTemporaryName(const std::filesystem::path& target)
{
    static constexpr std::string_view Letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::array<unsigned char, RandomPartLength> random{};
    if (::getrandom(random.data(), random.size(), 0) != static_cast<ssize_t>(random.size())) {
        Fail("cannot choose a temporary name beside " + target.string(), errno);
    }
    std::string name = target.string() + ".";
    for (const unsigned char byte : random) {
        name += Letters[byte % Letters.size()];
    }
    return name + std::string(TemporarySuffix);
}
} // namespace

UnpublishedFile::UnpublishedFile(const std::filesystem::path& target, const FileSystemCalls& calls)
    : calls(calls)
    , target(target)
{
    descriptor.Reset(calls.CreateUnnamed(FolderOf(target).c_str(), 0600));
    if (!descriptor.Valid()) {
        if (!UnnamedFilesUnsupported(errno)) {
            Fail("cannot create a file beside " + target.string(), errno);
        }
        CreateNamed();
    }
    // Held while this write lasts, so that the cleaning of stale files never takes a file that is still written.
    ::flock(descriptor.Get(), LOCK_EX | LOCK_NB);
}

UnpublishedFile::~UnpublishedFile()
{
    if (!published && Named()) {
        ::unlink(temporaryName.c_str());
    }
    InterruptCleanup::Forget(signalSlot);
}

void UnpublishedFile::CreateNamed()
{
    std::string pattern = target.string() + "." + std::string(RandomPartLength, 'X') + std::string(TemporarySuffix);
    descriptor.Reset(calls.CreateTemporary(pattern.data(), static_cast<int>(TemporarySuffix.size())));
    if (!descriptor.Valid()) {
        Fail("cannot create a file beside " + target.string(), errno);
    }
    temporaryName = std::move(pattern);
    signalSlot = InterruptCleanup::RemoveOnSignal(temporaryName.c_str());
}

void UnpublishedFile::TakeOver(mode_t mode, const struct stat* replaced)
{
    // A save by root must not take another user's file.
    if (replaced != nullptr && (replaced->st_uid != ::geteuid() || replaced->st_gid != ::getegid())) {
        // Not allowed for an ordinary user giving a file away; that user's own file keeps them anyway.
        [[maybe_unused]] const int owned = ::fchown(descriptor.Get(), replaced->st_uid, replaced->st_gid);
    }
    if (::fchmod(descriptor.Get(), mode) != 0 && !KeepsNoPermissions(errno)) {
        Fail("cannot set the permissions of the new " + target.string(), errno);
    }
}

void UnpublishedFile::WriteAll(std::span<const unsigned char> data)
{
    while (!data.empty()) {
        const std::size_t chunk = std::min(data.size(), AtomicWriteChunkSize);
        const ssize_t written = calls.Write(descriptor.Get(), data.data(), chunk);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            Fail("cannot write the new " + target.string(), written < 0 ? errno : ENOSPC);
        }
        data = data.subspan(static_cast<std::size_t>(written));
    }
}

FileVersion UnpublishedFile::Sync()
{
    if (calls.Sync(descriptor.Get()) != 0) {
        Fail("cannot sync the new " + target.string(), errno);
    }
    struct stat status
    {};
    if (::fstat(descriptor.Get(), &status) != 0) {
        Fail("cannot look at the new " + target.string(), errno);
    }
    return FileVersion::Of(status);
}

void UnpublishedFile::Publish(bool replaceExisting)
{
    if (!Named()) {
        if (LinkAsTarget(replaceExisting)) {
            return;
        }
        LinkUnderTemporaryName();
    }
    CloseChecked(temporaryName);
    PutInPlace(replaceExisting);
}

bool UnpublishedFile::LinkAsTarget(bool replaceExisting)
{
    // A link never replaces a file, so where the name is free the complete file takes it in one step.
    if (calls.Link(descriptor.Get(), target.c_str()) != 0) {
        if (errno == EEXIST && replaceExisting) {
            return false;
        }
        Fail("cannot create " + target.string(), errno);
    }
    published = true;
    if (calls.Close(descriptor.Release()) != 0) {
        const int error = errno;
        ::unlink(target.c_str());
        Fail("cannot close " + target.string(), error);
    }
    return true;
}

void UnpublishedFile::LinkUnderTemporaryName()
{
    // Only the complete, synced file gets this name, and only for the moment until the rename; a signal in that
    // moment removes it all the same.
    for (int attempt = 0; attempt < NameAttempts; ++attempt) {
        std::string name = RandomTemporaryName(target);
        if (calls.Link(descriptor.Get(), name.c_str()) == 0) {
            temporaryName = std::move(name);
            signalSlot = InterruptCleanup::RemoveOnSignal(temporaryName.c_str());
            return;
        }
        if (errno != EEXIST) {
            Fail("cannot create a file beside " + target.string(), errno);
        }
    }
    Fail("cannot create a file beside " + target.string(), EEXIST);
}

void UnpublishedFile::CloseChecked(const std::string& name)
{
    if (calls.Close(descriptor.Release()) != 0) {
        Fail("cannot close " + name, errno);
    }
}

void UnpublishedFile::PutInPlace(bool replaceExisting)
{
    const int moved = replaceExisting ? calls.Rename(temporaryName.c_str(), target.c_str())
                                      : calls.RenameNoReplace(temporaryName.c_str(), target.c_str());
    if (moved != 0) {
        Fail((replaceExisting ? "cannot replace " : "cannot create ") + target.string(), errno);
    }
    published = true;
    InterruptCleanup::Forget(signalSlot);
    signalSlot = -1;
}

bool IsOurTemporaryName(std::string_view name)
{
    if (name.size() < TemporarySuffix.size() + RandomPartLength + 2 || !name.ends_with(TemporarySuffix)) {
        return false;
    }
    const std::string_view random =
        name.substr(name.size() - TemporarySuffix.size() - RandomPartLength, RandomPartLength);
    if (!std::all_of(random.begin(), random.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)); })) {
        return false;
    }
    return name[name.size() - TemporarySuffix.size() - RandomPartLength - 1] == '.';
}
