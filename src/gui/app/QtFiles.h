#pragma once

#include <filesystem>

// Where Qt's plugins and Qt's own translations come from. The installed program takes the installed Qt's. The
// portable edition takes the copies in its own folder ("plugins", "translations"), and only those: the plugins of
// another Qt on the computer (its own folder, QT_PLUGIN_PATH) would not fit the Qt it carries.
// Call before the QApplication is made, as it loads the platform plugin.
void KeepQtFilesInFolder(const std::filesystem::path& folder);

// The folder of Qt's own translations ("qtbase_de.qm"), as chosen above.
std::filesystem::path QtTranslationsFolder();
