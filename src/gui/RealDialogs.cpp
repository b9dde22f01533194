#include "gui/RealDialogs.h"

#include "gui/WaveFormatDialog.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>

namespace gui {

QStringList RealDialogs::getOpenFileNames(QWidget* owner, const QString& title,
                                          const QString& filter, const QString& folder) {
    // The descriptions already name their patterns; Qt's copies stay hidden.
    QStringList names = QFileDialog::getOpenFileNames(owner, title, folder, filter, nullptr,
                                                      QFileDialog::HideNameFilterDetails);
    for (QString& name : names) name = QDir::toNativeSeparators(name);
    return names;
}

QString RealDialogs::browseForFolder(QWidget* owner) {
    const QString folder =
        QFileDialog::getExistingDirectory(owner, QString(), QString(), QFileDialog::ShowDirsOnly);
    return QDir::toNativeSeparators(folder);
}

void RealDialogs::message(QWidget* owner, QMessageBox::Icon icon, const QString& title,
                          const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, owner);
    box.exec();
}

WaveFormatChoice RealDialogs::chooseWaveFormat(QWidget* owner,
                                               const QList<core::WaveFormatInfo>& formats,
                                               const QByteArray& current) {
    return gui::chooseWaveFormat(owner, formats, current);
}

bool RealDialogs::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

}  // namespace gui
