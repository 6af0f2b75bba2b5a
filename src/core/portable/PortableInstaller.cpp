#include "core/portable/PortableInstaller.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "core/common/Reporter.h"
#include "core/common/TextSource.h"
#include "core/common/Utf.h"
#include "core/portable/ExclusiveCopy.h"
#include "core/settings/BuiltinTexts.h"
#include "core/settings/XML.h"

namespace {

constexpr char16_t SubfolderName[] = u"Lockmere";
constexpr char InstalledProgramName[] = "Lockmere.exe";
constexpr char SettingsCopyName[] = "Lockmere.xml";

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
    return std::uint64_t{volume.f_bavail} * volume.f_frsize;
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

std::uint64_t PortableInstaller::RequiredSpace() const
{
    const PortableSources& sources = environment.sources;
    std::uint64_t total = SizeOrZero(sources.portableProgram);
    for (const auto* group : {&sources.textFiles, &sources.languageFiles}) {
        for (const std::filesystem::path& file : *group) {
            total += SizeOrZero(file);
        }
    }
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
    // Each step starts only while nobody asked to stop; a group of files already begun is finished first.
    const auto step = [&](int percent, const std::function<void()>& work) {
        if (stop) {
            return false;
        }
        work();
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
        return step(20,
                    [&] {
                        if (!environment.copyFile(sources.portableProgram, destination / InstalledProgramName)) {
                            throw InstallFailed();
                        }
                    }) &&
               step(40, [&] { CopyGroup(sources.textFiles); }) && step(60, [&] { CopyGroup(sources.languageFiles); }) &&
               step(80,
                    [&] {
                        if (request.copySettings) {
                            CopySettings(reporter);
                        }
                    }) &&
               step(0,
                    [&] {
                        if (request.copyDatabase &&
                            !environment.copyFile(database, destination / database.filename())) {
                            throw InstallFailed();
                        }
                    }) &&
               step(100, [] {});
    } catch (const InstallFailed&) {
        stop = true;
        reporter.ShowMessage(failedText, MessageIcon::None);
        return false;
    }
}

void PortableInstaller::CopyGroup(const std::vector<std::filesystem::path>& files) const
{
    const std::filesystem::path destination = DestinationFolder();
    for (const std::filesystem::path& file : files) {
        // A text or language file that cannot be copied is not worth stopping the installation for.
        environment.copyFile(file, destination / file.filename());
    }
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
