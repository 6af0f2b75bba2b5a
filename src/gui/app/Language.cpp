#include "gui/app/Language.h"

#include <QCoreApplication>
#include <QTranslator>

#include "core/settings/Translate.h"
#include "gui/app/QtFiles.h"

namespace {
constexpr const char* QtTextsName = "QtOwnTexts";
} // namespace

void LoadLanguage(CTranslate& translation, const std::u16string& language)
{
    translation.Load(language);
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr) {
        return;
    }
    delete application->findChild<QTranslator*>(QtTextsName, Qt::FindDirectChildrenOnly);
    if (translation.LanguageCode().empty()) {
        return;
    }
    auto* qtTexts = new QTranslator(application);
    qtTexts->setObjectName(QtTextsName);
    // A language without a Qt catalogue (or a copy that lost it) keeps Qt's English texts.
    if (qtTexts->load(QStringLiteral("qtbase_") + QString::fromStdU16String(translation.LanguageCode()),
                      QString::fromStdString(QtTranslationsFolder().string()))) {
        QCoreApplication::installTranslator(qtTexts);
    } else {
        delete qtTexts;
    }
}
