#include "support/gui/ScriptedDialogs.h"

QStringList ScriptedDialogs::getOpenFileNames(QWidget*, const QString&, const QString&,
                                              const QString& folder) {
    openFolders.append(folder);
    return openAnswers.isEmpty() ? QStringList() : openAnswers.dequeue();
}

QString ScriptedDialogs::browseForFolder(QWidget*) {
    return folderAnswers.isEmpty() ? QString() : folderAnswers.dequeue();
}

void ScriptedDialogs::message(QWidget*, QMessageBox::Icon icon, const QString& title,
                              const QString& text) {
    messages.append({icon, title, text});
}

gui::WaveFormatChoice ScriptedDialogs::chooseWaveFormat(QWidget*,
                                                        const QList<core::WaveFormatInfo>&,
                                                        const QByteArray& current) {
    waveFormatPreselected.append(current);
    return waveFormatAnswers.isEmpty() ? gui::WaveFormatChoice() : waveFormatAnswers.dequeue();
}

bool ScriptedDialogs::openUrl(const QUrl& url) {
    openedUrls.append(url);
    return openUrlSucceeds;
}
