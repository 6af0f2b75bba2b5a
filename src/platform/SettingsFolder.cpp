#include "platform/SettingsFolder.h"

#include <cstdlib>
#include <string_view>
#include <system_error>

namespace {
constexpr std::string_view SettingsFolderName = "Tavilo";
constexpr std::string_view SettingsFileName = "Lockmere.xml";

std::filesystem::path PathFromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    return value == nullptr ? std::filesystem::path() : std::filesystem::path(value);
}

std::filesystem::path& ChosenFolder()
{
    static std::filesystem::path folder;
    return folder;
}
} // namespace

void KeepSettingsInFolder(std::filesystem::path folder)
{
    ChosenFolder() = std::move(folder);
}

std::filesystem::path SettingsFolder()
{
    if (!ChosenFolder().empty()) {
        return ChosenFolder();
    }
    std::filesystem::path base = PathFromEnvironment("APPDATA");
    if (base.empty()) {
        // The configuration base must be absolute; a relative one is ignored, as the desktop conventions ask.
        base = PathFromEnvironment("XDG_CONFIG_HOME");
        if (!base.is_absolute()) {
            const std::filesystem::path home = PathFromEnvironment("HOME");
            base = home.empty() ? std::filesystem::path() : home / ".config";
        }
    }
    if (base.empty()) {
        return {};
    }
    return base / SettingsFolderName;
}

std::filesystem::path SettingsFilePath()
{
    const std::filesystem::path folder = SettingsFolder();
    return folder.empty() ? folder : folder / SettingsFileName;
}

std::filesystem::path PrepareSettingsFile()
{
    const std::filesystem::path folder = SettingsFolder();
    if (folder.empty()) {
        return {};
    }
    if (!ChosenFolder().empty()) {
        return folder / SettingsFileName;
    }
    // Under APPDATA only the program's own folder is made. The desktop's configuration folder may not exist yet on
    // a new account; the desktop conventions say to create it, private to the user.
    std::error_code ignored;
    if (PathFromEnvironment("APPDATA").empty() && std::filesystem::create_directories(folder.parent_path(), ignored)) {
        std::filesystem::permissions(folder.parent_path(), std::filesystem::perms::owner_all, ignored);
    }
    std::filesystem::create_directory(folder, ignored);
    return folder / SettingsFileName;
}
