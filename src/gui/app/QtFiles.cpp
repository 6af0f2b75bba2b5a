#include "gui/app/QtFiles.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace {
std::filesystem::path& ChosenFolder()
{
    static std::filesystem::path folder;
    return folder;
}
} // namespace

void KeepQtFilesInFolder(const std::filesystem::path& folder)
{
    ChosenFolder() = folder;
    QCoreApplication::setLibraryPaths({QString::fromStdString((folder / "plugins").string())});
}

std::filesystem::path QtTranslationsFolder()
{
    if (!ChosenFolder().empty()) {
        return ChosenFolder() / "translations";
    }
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString();
}
