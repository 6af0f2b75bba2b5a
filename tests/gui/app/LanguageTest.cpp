#include "gui/app/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <gtest/gtest.h>

#include "core/settings/Translate.h"
#include "gui/GuiTestSupport.h"
#include "gui/app/QtFiles.h"
#include "support/TempDir.h"

namespace {
const std::filesystem::path ShippedFolder = std::filesystem::path(LOCKMERE_SOURCE_DIR) / "resources" / "lang";

// Qt's own word on its standard Cancel button, in the language Qt's texts are in now.
std::u16string QtCancel()
{
    return QCoreApplication::translate("QPlatformTheme", "Cancel").toStdU16String();
}

TEST(LanguageTest, QtsOwnTextsFollowTheChosenLanguageAndGoBackWithIt)
{
    EnsureApplication();
    CTranslate translation(ShippedFolder);
    struct Case
    {
        std::u16string language;
        std::u16string cancel;
        std::u16string ownCancel; // the program's text 0 beside it
    };
    for (const Case& c :
         {Case{u"German", u"Abbrechen", u"Abbrechen"},
          Case{u"Russian", u"\u041E\u0442\u043C\u0435\u043D\u0430", u"\u041E\u0442\u043C\u0435\u043D\u0430"},
          Case{u"English", u"Cancel", u"Cancel"}, Case{u"German", u"Abbrechen", u"Abbrechen"},
          Case{u"", u"Cancel", u"Cancel"}}) {
        LoadLanguage(translation, c.language);
        EXPECT_EQ(QtCancel(), c.cancel) << QString::fromStdU16String(c.language).toStdString();
        EXPECT_EQ(translation.Text(0), c.ownCancel);
    }
}

// The portable edition: plugins and catalogues from its own folder, never from the computer's Qt.
TEST(LanguageTest, ThePortableEditionTakesQtsFilesFromItsFolderOnly)
{
    EnsureApplication();
    TempDir folder;
    std::filesystem::create_directories(folder / "translations");
    KeepQtFilesInFolder(folder.Path());
    EXPECT_EQ(QtTranslationsFolder(), folder / "translations");
    const QStringList paths = QCoreApplication::libraryPaths();
    EXPECT_TRUE(paths.contains(QString::fromStdString((folder / "plugins").string()))) << paths.join(' ').toStdString();
    EXPECT_FALSE(paths.contains(QLibraryInfo::path(QLibraryInfo::PluginsPath))) << paths.join(' ').toStdString();

    // Without its own German catalogue, Qt's texts stay English rather than come from the computer's Qt.
    CTranslate translation(ShippedFolder);
    LoadLanguage(translation, u"German");
    EXPECT_EQ(QtCancel(), u"Cancel");
    std::filesystem::copy_file(QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString() + "/qtbase_de.qm",
                               folder / "translations" / "qtbase_de.qm");
    LoadLanguage(translation, u"German");
    EXPECT_EQ(QtCancel(), u"Abbrechen");
}
} // namespace
