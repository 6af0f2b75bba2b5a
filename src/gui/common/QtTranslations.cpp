#include "gui/common/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace {
const QString TranslatorName = QStringLiteral("lockmereQtTranslations");
} // namespace

bool UseQtTranslations(const std::u16string& languageCode)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (auto* previous = application->findChild<QTranslator*>(TranslatorName, Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(previous);
        delete previous;
    }
    if (languageCode.empty()) {
        return false;
    }
    auto translator = std::make_unique<QTranslator>(application);
    translator->setObjectName(TranslatorName);
    // "qt_" is the catalogue that pulls in the translations of every Qt module installed beside it.
    if (!translator->load(QStringLiteral("qt_") + QString::fromStdU16String(languageCode),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    QCoreApplication::installTranslator(translator.release());
    return true;
}
