#include "gui/Preview.h"

#include "gui/SourceList.h"
#include "gui/MainWindow.h"

#include <QTimer>

namespace gui {

void Play(gui::Form1& form) {
    if (form.ConversionActive) return;  // a stopped run is still winding down
    const QString path = form.sourceList().selectedPath();
    if (path.isEmpty()) return;
    form.Timer3->start();
    form.PreviewStream = form.engine.streamCreateFile(path, false);
    if (form.PreviewStream == 0) {
        form.Timer3->stop();  // nothing to watch: the window stays as it was
        return;
    }
    if (!form.engine.channelPlay(form.PreviewStream)) {
        // Released at once rather than left open with no way to stop it.
        form.engine.streamFree(form.PreviewStream);
        form.PreviewStream = 0;
        form.Timer3->stop();
        return;
    }
    form.enterBusyForPreview();
}

void Stop(gui::Form1& form) {
    form.leaveBusy();
    if (form.PreviewStream != 0) {
        form.engine.channelStop(form.PreviewStream);
        form.engine.streamFree(form.PreviewStream);
        form.PreviewStream = 0;
        form.sourceList().setSelectedStatus(QString());
    } else {
        form.GlobalStop = -1;
    }
}

void Timer3Tick(gui::Form1& form) {
    const qint64 length = form.engine.channelGetLength(form.PreviewStream);
    const qint64 position = form.engine.channelGetPosition(form.PreviewStream);
    if (length == position) form.m_stop_Click();
}

}  // namespace gui
