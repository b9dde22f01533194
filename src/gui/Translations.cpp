#include "gui/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace gui {

void installTranslations(QCoreApplication& app, const QStringList& moreFolders) {
    const QLocale language;  // the system's, unless a test chose another
    auto* qt = new QTranslator(&app);
    if (qt->load(language, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    // Beside the program in its build folder, then where it was installed.
    const QString dir = QCoreApplication::applicationDirPath();
    QStringList folders = moreFolders;
    folders << dir + QStringLiteral("/translations")
            << dir + QStringLiteral("/../" SONBRIDGE_DATA_DIR "/sonbridge/translations")
            << QStringLiteral(SONBRIDGE_FULL_DATA_DIR "/sonbridge/translations");
    auto* own = new QTranslator(&app);
    for (const QString& folder : folders) {
        if (own->load(language, QStringLiteral("sonbridge"), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(own);
            return;
        }
    }
}

}  // namespace gui
