#include "core/settings/ProgramDataFolder.h"

#include "core/settings/Translate.h"

std::filesystem::path ProgramDataFolder(const std::filesystem::path& programFolder)
{
    if (!CTranslate(programFolder).LanguageFiles().empty()) {
        return programFolder;
    }
    // Relative to the program, not to a path fixed at build time, so that an installation can be moved (DESTDIR,
    // a different prefix) and still finds its files.
    std::filesystem::path shared = programFolder.parent_path() / "share" / "lockmere";
    std::error_code error;
    return std::filesystem::is_directory(shared, error) ? shared : programFolder;
}
