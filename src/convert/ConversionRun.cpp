#include "convert/ConversionRun.h"

#include "app/NativePath.h"
#include "app/PathHelpers.h"
#include "convert/EncoderPipeline.h"
#include "convert/OutputNaming.h"
#include "filelist/SourceList.h"
#include "ui/Dialogs.h"
#include "ui/Form1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

namespace convert {

namespace {

const QString kTitle = QStringLiteral("Sonbridge");

void yieldOnce() {
    QCoreApplication::processEvents();
}

// Marks the run active from its first step to its last, however it ends,
// so that a Stop re-enabling the commands cannot start a second run inside it.
class ActiveRun {
public:
    explicit ActiveRun(ui::Form1& form) : m_form(form) { m_form.ConversionActive = true; }
    ~ActiveRun() { m_form.ConversionActive = false; }
    ActiveRun(const ActiveRun&) = delete;
    ActiveRun& operator=(const ActiveRun&) = delete;

private:
    ui::Form1& m_form;
};

void setRowStatus(ui::Form1& form, int row, const QString& text, const QString& why = QString()) {
    form.sourceList().setStatus(row, text);
    if (QTreeWidgetItem* item = form.LW1->topLevelItem(row))
        item->setToolTip(filelist::kStatusColumn, why);
}

// The WAV format for this row: asked for unless the person chose to keep
// one for the rest of the batch. False when cancelled.
bool chooseWaveFormat(ui::Form1& form, bool& keepForBatch) {
    if (keepForBatch) return true;
    const ui::WaveFormatChoice choice =
        form.dialogs.chooseWaveFormat(&form, audio::Engine::waveFormats(), form.appState.AcmFormat);
    if (!choice.chosen) return false;
    form.appState.AcmFormat = choice.waveFormatEx;
    keepForBatch = choice.useForRestOfBatch;
    return true;
}

enum class RowResult { Done, Failed };

RowResult convertRow(ui::Form1& form, int row, const QString& source, StreamPump& pump,
                     bool& keepWaveFormat) {
    audio::Engine& engine = form.engine;
    const int formatIndex = form.Combo4->currentIndex();
    const QString output =
        BuildOutputPath(source, formatIndex, form.Check1->isChecked(), form.Text2->text());

    const audio::Handle stream = engine.streamCreateFile(source, true);
    form.ConversionStream = stream;

    EncoderStart start;
    if (stream != 0 && formatIndex == 0 && !chooseWaveFormat(form, keepWaveFormat)) {
        start.failureReason = QStringLiteral("No wave format was chosen");
    } else {
        start = StartEncoder(engine, stream, formatIndex, output, form.appState,
                             QCoreApplication::applicationDirPath());
    }
    if (start.encoder == 0) {
        engine.channelStop(stream);
        engine.streamFree(stream);
        setRowStatus(form, row, QString::fromLatin1(kFailed), start.failureReason);
        return RowResult::Failed;
    }

    form.Timer4->start();
    pump.run(engine, stream, form.GlobalStop, yieldOnce);
    form.Timer4->stop();
    yieldOnce();

    // A file the encoder did not finish is never reported as converted.
    audio::EncodeOutcome outcome;
    if (!engine.streamFree(stream, &outcome)) {
        outcome.ok = false;
        outcome.reason = engine.lastError();
    }
    if (!outcome.ok) {
        setRowStatus(form, row, QString::fromLatin1(kFailed), outcome.reason);
        return RowResult::Failed;
    }
    setRowStatus(form, row, QString::fromLatin1(form.GlobalStop ? kTerminated : kConverted));
    return RowResult::Done;
}

}  // namespace

void RunConversion(ui::Form1& form) {
    if (form.ConversionActive) return;  // a stopped run is still winding down
    ActiveRun active(form);
    filelist::SourceList& list = form.sourceList();

    form.GlobalStop = 0;
    yieldOnce();
    if (list.count() == 0) {
        form.dialogs.message(&form, QMessageBox::Warning, kTitle,
                             QStringLiteral("No files to convert"));
        form.endConversionBusy();
        return;
    }

    form.enterBusyForConversion();
    const int rows = list.count();  // rows added during the run wait for the next one
    QString source;
    StreamPump pump;
    bool keepWaveFormat = false;
    bool failed = false;
    for (int row = 0; row < rows && !failed; ++row) {
        list.select(row);
        if (form.GlobalStop) {
            setRowStatus(form, row, QString::fromLatin1(kTerminated));
            continue;
        }
        setRowStatus(form, row, QString::fromLatin1(kProcessing));
        list.scrollTo(row);
        source = list.path(row);
        failed = convertRow(form, row, source, pump, keepWaveFormat) == RowResult::Failed;
    }

    if (!failed) {
        form.dialogs.message(&form, QMessageBox::Information, kTitle,
                             form.GlobalStop
                                 ? QStringLiteral("Conversion stopped")
                                 : QStringLiteral("Audio file(s) converted successfully"));
        if (form.Check2->isChecked()) {
            const QString folder =
                form.Check1->isChecked() ? app::GetPATH(source) : form.Text2->text();
            form.dialogs.openUrl(app::UrlFromPath(folder));
        }
    }
    form.endConversionBusy();
}

}  // namespace convert
