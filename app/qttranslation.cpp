// Loading Qt's Japanese translations.
#include "qttranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

QTranslator *InstallQtJapanese()
{
    // Dates, sizes and file types in the file dialogs follow the default locale.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    // By file name rather than by locale: the program is Japanese in every locale.
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator.get())) {
        qWarning("Qt's Japanese translations (qtbase_ja.qm) are not installed; Qt's own "
                 "texts stay in English.");
        return nullptr;
    }
    return translator.release();
}
