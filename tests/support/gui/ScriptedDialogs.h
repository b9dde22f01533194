#pragma once
// Answers the dialogs that would wait for a person, from a script the test
// sets up, and records what the program asked for.

#include "gui/Dialogs.h"

#include <QQueue>

struct RecordedMessage {
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

class ScriptedDialogs : public gui::Dialogs {
public:
    // Queued answers, consumed in order; an empty queue answers "cancel".
    QQueue<QStringList> openAnswers;
    QQueue<QString> folderAnswers;
    QQueue<gui::WaveFormatChoice> waveFormatAnswers;
    bool openUrlSucceeds = true;  // false: the desktop has nothing to open a URL with

    // What the program asked for.
    QStringList openFolders;
    QList<RecordedMessage> messages;
    QList<QByteArray> waveFormatPreselected;
    QList<QUrl> openedUrls;

    QStringList getOpenFileNames(QWidget* owner, const QString& title, const QString& filter,
                                 const QString& folder) override;
    QString browseForFolder(QWidget* owner) override;
    void message(QWidget* owner, QMessageBox::Icon icon, const QString& title,
                 const QString& text) override;
    gui::WaveFormatChoice chooseWaveFormat(QWidget* owner,
                                           const QList<core::WaveFormatInfo>& formats,
                                           const QByteArray& current) override;
    bool openUrl(const QUrl& url) override;
};
