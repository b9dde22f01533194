#pragma once
// Names and addresses the program shows: window caption, message-box title,
// home page and support mail. Kept here so the main window and the About box
// can never disagree.

#include <QString>

namespace core {

inline const QString kProductName = QStringLiteral("Quillmoor Sonbridge");
inline const QString kAppTitle = QStringLiteral("Sonbridge");
inline const QString kWebHost = QStringLiteral("www.quillmoor.example");
inline const QString kSupportMail = QStringLiteral("support@quillmoor.example");

inline QString homePageUrl() {
    return QStringLiteral("http://") + kWebHost + QLatin1Char('/');
}
inline QString supportMailUrl() {
    return QStringLiteral("mailto:") + kSupportMail;
}

}  // namespace core
