#include "core/portable/PortableInstaller.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <limits>

#include "core/common/Reporter.h"
#include "core/common/TextSource.h"
#include "core/common/Utf.h"
#include "core/portable/ExclusiveCopy.h"
#include "core/settings/BuiltinTexts.h"
#include "core/settings/XML.h"

namespace {

constexpr char16_t SubfolderName[] = u"Lockmere";
constexpr char SettingsCopyName[] = "Lockmere.xml";
// The progress position reached when the program is copied: its files move the bar up to here.
constexpr int ProgramCopied = 20;

std::uint64_t SizeOrZero(const std::filesystem::path& file)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    return error ? 0 : size;
}

// A failure the user is told about with the installation's error message.
struct InstallFailed
{};
} // namespace

std::uint64_t AvailableSpace(const std::filesystem::path& folder)
{
    struct statvfs volume
    {};
    if (::statvfs(folder.c_str(), &volume) != 0) {
        return 0;
    }
    // A volume that tells no size at all (FAT through fusefat) cannot be judged: the copy is tried, and a drive that
    // fills up stops it with the installation's error, without a half-written file.
    if (volume.f_blocks == 0) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    return std::uint64_t{volume.f_bavail} * volume.f_frsize;
}

PortableInstaller::Environment SystemEnvironment(const std::filesystem::path& programFolder,
                                                 const std::filesystem::path& settingsFile)
{
    return {FindPortableSources(programFolder), settingsFile, AvailableSpace, CopyFileExclusively};
}

PortableInstaller::PortableInstaller(const PortableRequest& request, const COptions& settings, const ITextSource& texts,
                                     Environment environment)
    : request(request)
    , settingsCopy(settings)
    , database(Utf16ToUtf8(settings.LastPath))
    , environment(std::move(environment))
    , installedText(texts.Text(TextId::InstalledTo))
    , runProgramText(texts.Text(TextId::RunFromInstallFolder))
    , failedText(texts.Text(TextId::InstallFailed))
    , noSpaceText(texts.Text(TextId::NotEnoughDiskSpace))
{
    // A copy that started the program at log-in or reopened this computer's database would act on a computer it
    // was never set up for.
    settingsCopy.fAutoRun = false;
    settingsCopy.fAutoRunHide = false;
    settingsCopy.fLastDB = false;
    settingsCopy.LastPath.clear();
}

std::filesystem::path PortableInstaller::DestinationFolder() const
{
    std::u16string folder = request.targetPath;
    if (folder.empty() || folder.back() != u'/') {
        folder += u'/';
    }
    if (request.subfolder) {
        folder += SubfolderName;
        folder += u'/';
    }
    return Utf16ToUtf8(folder);
}

std::vector<std::filesystem::path> PortableInstaller::ProgramFiles() const
{
    // The program file comes last, so that a copy that stopped half-way holds no program to start.
    std::vector<std::filesystem::path> files = environment.sources.runtimeFiles;
    files.push_back(environment.sources.programFile);
    return files;
}

std::uint64_t PortableInstaller::SizeOf(const std::vector<std::filesystem::path>& files) const
{
    std::uint64_t total = 0;
    for (const std::filesystem::path& file : files) {
        total += SizeOrZero(environment.sources.folder / file);
    }
    return total;
}

std::uint64_t PortableInstaller::RequiredSpace() const
{
    const PortableSources& sources = environment.sources;
    std::uint64_t total = SizeOf(ProgramFiles()) + SizeOf(sources.textFiles) + SizeOf(sources.languageFiles);
    if (request.copySettings) {
        total += SizeOrZero(environment.settingsFile);
    }
    if (request.copyDatabase) {
        total += SizeOrZero(database);
    }
    return total;
}

bool PortableInstaller::Run(IMessageReporter& reporter, std::atomic<bool>& stop, const ProgressSink& progress)
{
    const bool enoughSpace = environment.freeSpace(Utf16ToUtf8(request.targetPath)) > RequiredSpace();
    // Cancel pressed during the space check ends the installation before anything is copied.
    if (stop) {
        return false;
    }
    if (!enoughSpace) {
        stop = true;
        reporter.ShowMessage(noSpaceText, MessageIcon::None);
        return false;
    }
    if (!Install(reporter, stop, progress)) {
        stop = true;
        return false;
    }
    stop = true;
    reporter.ShowMessage(SuccessMessage(), MessageIcon::Information);
    return true;
}

bool PortableInstaller::Install(IMessageReporter& reporter, std::atomic<bool>& stop, const ProgressSink& progress)
{
    // Each step starts only while nobody asked to stop; a group of text or language files already begun is finished
    // first, while the program's many files stop at the next file.
    const auto step = [&](int percent, const std::function<bool()>& work) {
        if (stop || !work()) {
            return false;
        }
        if (percent > 0) {
            progress(percent);
        }
        return true;
    };
    const std::filesystem::path destination = DestinationFolder();
    try {
        if (request.subfolder && ::mkdir(destination.c_str(), 0777) != 0) {
            throw InstallFailed();
        }
        const PortableSources& sources = environment.sources;
        return step(ProgramCopied, [&] { return CopyProgram(stop, progress); }) &&
               step(40, [&] { return CopyGroup(sources.textFiles); }) &&
               step(60, [&] { return CopyGroup(sources.languageFiles); }) &&
               step(80,
                    [&] {
                        if (request.copySettings) {
                            CopySettings(reporter);
                        }
                        return true;
                    }) &&
               step(0,
                    [&] {
                        if (request.copyDatabase &&
                            !environment.copyFile(database, destination / database.filename())) {
                            throw InstallFailed();
                        }
                        return true;
                    }) &&
               step(100, [] { return true; });
    } catch (const InstallFailed&) {
        stop = true;
        reporter.ShowMessage(failedText, MessageIcon::None);
        return false;
    }
}

bool PortableInstaller::CopyProgram(const std::atomic<bool>& stop, const ProgressSink& progress) const
{
    const std::filesystem::path destination = DestinationFolder();
    const std::vector<std::filesystem::path> files = ProgramFiles();
    const std::uint64_t total = SizeOf(files);
    std::uint64_t copied = 0;
    int shown = 0;
    for (const std::filesystem::path& file : files) {
        if (stop) {
            return false;
        }
        // Without any one of its files the program does not start: each is as necessary as the program file.
        const std::filesystem::path target = destination / file;
        std::error_code error;
        std::filesystem::create_directories(target.parent_path(), error);
        if (error || !environment.copyFile(environment.sources.folder / file, target)) {
            throw InstallFailed();
        }
        copied += SizeOrZero(environment.sources.folder / file);
        const int percent = total == 0 ? 0 : static_cast<int>(copied * ProgramCopied / total);
        if (percent > shown && percent < ProgramCopied) {
            shown = percent;
            progress(percent);
        }
    }
    return true;
}

bool PortableInstaller::CopyGroup(const std::vector<std::filesystem::path>& files) const
{
    const std::filesystem::path destination = DestinationFolder();
    for (const std::filesystem::path& file : files) {
        // A text or language file that cannot be copied is not worth stopping the installation for.
        environment.copyFile(environment.sources.folder / file, destination / file);
    }
    return true;
}

void PortableInstaller::CopySettings(IMessageReporter& reporter) const
{
    // The settings file takes its name only if that name is still free; a failure has been shown by the store.
    settingsCopy.Save(reporter, DestinationFolder() / SettingsCopyName, OnlyNewFile(0600));
}

std::u16string PortableInstaller::SuccessMessage() const
{
    std::u16string installedTo = request.targetPath;
    if (request.subfolder) {
        if (installedTo.empty() || installedTo.back() != u'/') {
            installedTo += u'/';
        }
        installedTo += SubfolderName;
    }
    return installedText + u" " + installedTo + runProgramText;
}
