#include "support/gui/ScriptedDialogs.h"

QStringList ScriptedDialogs::getOpenFileNames(QWidget*, const QString& title, const QString& filter,
                                              const QString& folder) {
    openTitles.append(title);
    openFilters.append(filter);
    openFolders.append(folder);
    return openAnswers.isEmpty() ? QStringList() : openAnswers.dequeue();
}

QString ScriptedDialogs::browseForFolder(QWidget*) {
    ++folderRequests;
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
    if (!waveFormatAnswers.isEmpty()) return waveFormatAnswers.dequeue();
    if (waveFormatDefault) return *waveFormatDefault;
    return {};
}

bool ScriptedDialogs::openUrl(const QUrl& url) {
    openedUrls.append(url);
    return openUrlSucceeds;
}
