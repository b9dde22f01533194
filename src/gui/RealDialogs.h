#pragma once
// The dialogs a person answers: Qt's file and folder dialogs, message boxes,
// the wave-format choice, and the desktop's "Open".

#include "gui/Dialogs.h"

namespace gui {

class RealDialogs : public Dialogs {
public:
    QStringList getOpenFileNames(QWidget* owner, const QString& title, const QString& filter,
                                 const QString& folder) override;
    QString browseForFolder(QWidget* owner) override;
    void message(QWidget* owner, QMessageBox::Icon icon, const QString& title,
                 const QString& text) override;
    WaveFormatChoice chooseWaveFormat(QWidget* owner, const QList<core::WaveFormatInfo>& formats,
                                      const QByteArray& current) override;
    bool openUrl(const QUrl& url) override;
};

}  // namespace gui
