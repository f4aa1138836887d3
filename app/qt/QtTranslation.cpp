#include "app/qt/QtTranslation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace velmora::app {

bool useQtSpanishTranslation(QCoreApplication& application) {
    const QLocale spanish(QLocale::Spanish, QLocale::Spain);
    QLocale::setDefault(spanish);
    const QStringList folders{
        QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations")),
    };
    for (const QString& folder : folders) {
        auto* translator = new QTranslator(&application);
        if (translator->load(spanish, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
            return QCoreApplication::installTranslator(translator);
        }
        delete translator;
    }
    return false;
}

} // namespace velmora::app
