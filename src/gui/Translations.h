#pragma once
// The program speaks the system's language when a translation for it is
// installed (share/sonbridge/translations), English otherwise.

#include <QStringList>

class QCoreApplication;

namespace gui {

// Loads Qt's own and the program's translations for the system language
// into app. moreFolders are looked in first.
void installTranslations(QCoreApplication& app, const QStringList& moreFolders = {});

}  // namespace gui
