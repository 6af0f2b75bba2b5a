#include <QDir>
#include <QTabWidget>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>

#include "core/common/Utf.h"
#include "core/settings/Options.h"
#include "core/settings/Translate.h"
#include "gui/ModalDriver.h"
#include "gui/settings/DlgOptions.h"
#include "support/MessageRecorder.h"

namespace {
// Pictures of every options page in English, German and Russian (the longest texts), for a person to look at. Runs only
// when LOCKMERE_SCREENSHOT_DIR names the folder to write them to.
class OptionsScreenshotTest : public ::testing::TestWithParam<const char*>
{};

TEST_P(OptionsScreenshotTest, EveryPage)
{
    const char* target = std::getenv("LOCKMERE_SCREENSHOT_DIR");
    if (!target) {
        GTEST_SKIP() << "LOCKMERE_SCREENSHOT_DIR is not set";
    }
    EnsureApplication();
    const QString folder = QString::fromLocal8Bit(target);
    QDir().mkpath(folder);
    CTranslate translation(LOCKMERE_BIN_DIR);
    COptions options;
    options.Language = Utf8ToUtf16(GetParam());
    options.LastPath = u"/data/my.ldb";
    translation.Load(options.Language);
    MessageRecorder messages;
    CDlgOptions dialog(options, translation, messages);
    dialog.show();
    for (int page = 0; page < dialog.Tabs()->count(); ++page) {
        dialog.Tabs()->setCurrentIndex(page);
        QTest::qWait(150);
        EXPECT_TRUE(dialog.grab().save(
            folder + QStringLiteral("/options-%1-%2.png").arg(page).arg(QString::fromLatin1(GetParam()))));
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, OptionsScreenshotTest, ::testing::Values("English", "German", "Russian"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });
} // namespace
