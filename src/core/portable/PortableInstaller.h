#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/portable/PortableSources.h"
#include "core/settings/Options.h"

class IMessageReporter;
class ITextSource;

// What the user asked for on the portable page.
struct PortableRequest
{
    std::u16string targetPath;
    bool subfolder = true;
    bool copySettings = true;
    bool copyDatabase = false;
};

// Copies the portable copy of the program (its program file with every library and plugin it carries), its text and
// language files, a settings copy and the open database into a folder, usually on a removable drive. Built on the
// user-interface thread, then Run on a worker: it keeps its own copies of everything it reads, so the worker touches
// nothing the interface thread changes except the stop flag. No existing file is ever overwritten.
class PortableInstaller
{
public:
    // Bytes the user may still write on the volume that holds the folder; 0 when that cannot be told.
    using FreeSpaceQuery = std::function<std::uint64_t(const std::filesystem::path& folder)>;
    using FileCopier = std::function<bool(const std::filesystem::path& from, const std::filesystem::path& to)>;
    using ProgressSink = std::function<void(int percent)>;

    struct Environment
    {
        PortableSources sources;
        // The running program's settings file, counted in the space check when the settings are copied.
        std::filesystem::path settingsFile;
        FreeSpaceQuery freeSpace;
        FileCopier copyFile;
    };

    PortableInstaller(const PortableRequest& request, const COptions& settings, const ITextSource& texts,
                      Environment environment);

    // Runs the installation, reporting progress (up to 20 while the program's files are copied, then 40, 60, 80, 100)
    // and the user's messages. Setting `stop` from another thread ends it at the next step boundary, or at the
    // program's next file, without a message; the installer sets it when it ends.
    // True only when everything asked for was installed.
    bool Run(IMessageReporter& reporter, std::atomic<bool>& stop, const ProgressSink& progress);

    // Where the files go: the target with a trailing "/" and, with the subfolder option, "Lockmere/".
    std::filesystem::path DestinationFolder() const;

private:
    std::vector<std::filesystem::path> ProgramFiles() const;
    std::uint64_t SizeOf(const std::vector<std::filesystem::path>& files) const;
    std::uint64_t RequiredSpace() const;
    bool Install(IMessageReporter& reporter, std::atomic<bool>& stop, const ProgressSink& progress);
    bool CopyProgram(const std::atomic<bool>& stop, const ProgressSink& progress) const;
    bool CopyGroup(const std::vector<std::filesystem::path>& files) const;
    void CopySettings(IMessageReporter& reporter) const;
    std::u16string SuccessMessage() const;

    PortableRequest request;
    COptions settingsCopy;
    std::filesystem::path database;
    Environment environment;
    std::u16string installedText;
    std::u16string runProgramText;
    std::u16string failedText;
    std::u16string noSpaceText;
};

// The space statvfs reports as available to an unprivileged user on the folder's volume; 0 on failure, and the most
// there can be on a volume that reports no size at all.
std::uint64_t AvailableSpace(const std::filesystem::path& folder);

// The installation as the program runs it: from the portable copy found for the program folder, counting the given
// settings file, onto the real file system.
PortableInstaller::Environment SystemEnvironment(const std::filesystem::path& programFolder,
                                                 const std::filesystem::path& settingsFile);
