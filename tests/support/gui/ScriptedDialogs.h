#pragma once
// Answers the dialogs that would wait for a person, from a script the test
// sets up, and records what the program asked for.

#include "gui/Dialogs.h"

#include <QQueue>

#include <optional>

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
    // When set, answers every wave-format request with this choice (no queue).
    std::optional<gui::WaveFormatChoice> waveFormatDefault;
    bool openUrlSucceeds = true;  // false: the desktop has nothing to open a URL with

    // What the program asked for.
    QStringList openTitles;
    QStringList openFilters;
    QStringList openFolders;
    int folderRequests = 0;
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
