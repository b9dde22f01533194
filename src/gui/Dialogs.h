#pragma once
// The one seam between the program and what waits for a person: file and
// folder dialogs, message boxes, the wave-format choice, and the shell's
// "Open". The program uses RealDialogs; tests script their own answers.

#include "core/WaveFormat.h"

#include <QByteArray>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QUrl>

class QWidget;

namespace gui {

struct WaveFormatChoice {
    bool chosen = false;      // false: cancelled
    QByteArray waveFormatEx;  // the chosen block
    bool useForRestOfBatch = false;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Full paths of the chosen files, in the dialog's order; empty when
    // cancelled. The dialog opens in folder.
    virtual QStringList getOpenFileNames(QWidget* owner, const QString& title,
                                         const QString& filter, const QString& folder) = 0;
    // The chosen folder, or empty text when cancelled.
    virtual QString browseForFolder(QWidget* owner) = 0;
    virtual void message(QWidget* owner, QMessageBox::Icon icon, const QString& title,
                         const QString& text) = 0;
    // formats: what the writer offers; current: the block to preselect.
    virtual WaveFormatChoice chooseWaveFormat(QWidget* owner,
                                              const QList<core::WaveFormatInfo>& formats,
                                              const QByteArray& current) = 0;
    // The shell's "Open" on a folder, web address or mail address; false
    // when the desktop has nothing to open it with.
    virtual bool openUrl(const QUrl& url) = 0;
};

}  // namespace gui
