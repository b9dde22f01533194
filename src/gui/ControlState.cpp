#include "gui/ControlState.h"

#include "gui/MainWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

namespace gui {

namespace {

const QString kPlaying = QStringLiteral("Playing...");

void setTimer(QTimer* timer, bool on) {
    if (on)
        timer->start();
    else
        timer->stop();
}

}  // namespace

QRect hintGeometryTwips(const QRect& label1, const QRect& list) {
    return QRect(list.left() + 70, list.top() + 400, label1.left() + label1.width() + 10,
                 label1.height() + 10);
}

void UpdateAddFilesHint(Form1& f) {
    f.Picture3->setVisible(f.sourceList().count() == 0);
    const QRect twips = hintGeometryTwips(f.twipsGeometry(f.Label1), f.twipsGeometry(f.LW1));
    f.Picture3->setGeometry(twipsRect(twips.left(), twips.top(), twips.width(), twips.height()));
}

void UpdateListCommands(Form1& f) {
    const bool e = f.sourceList().count() > 0;
    f.Command5->setEnabled(e);
    f.button1->setEnabled(e);
    f.Command2[0]->setEnabled(e);
    f.m_play->setEnabled(e);
    f.m_remove->setEnabled(e);
    f.m_all->setEnabled(e);
    f.m_remove_c->setEnabled(e);
    f.m_convert->setEnabled(e);
}

void EnterBusyForPreview(Form1& f) {
    f.Timer2->stop();
    f.sourceList().setSelectedStatus(kPlaying);
    f.Command1->setEnabled(false);
    f.Command2[0]->setEnabled(false);
    f.Command5->setEnabled(false);
    f.Command6->setEnabled(true);
    f.button1->setEnabled(false);
    f.m_add_midi->setEnabled(false);
    f.m_remove->setEnabled(false);
    f.m_all->setEnabled(false);
    f.m_play->setEnabled(false);
    f.m_stop->setEnabled(true);
    f.m_convert->setEnabled(false);
    f.m_add_midi_c->setEnabled(false);
    f.m_remove_c->setEnabled(false);
    f.LW1->setEnabled(false);
}

namespace {

// The run switches these in one order at its start and back at its end.
void switchForConversion(Form1& f, bool busy) {
    const bool on = !busy;
    setTimer(f.Timer2, on);
    f.Command1->setEnabled(on);
    f.Command2[0]->setEnabled(on);
    f.Command5->setEnabled(on);
    f.Command6->setEnabled(busy);
    f.LW1->setEnabled(on);
    f.Combo4->setEnabled(on);
    f.Command4->setEnabled(on);
    f.button1->setEnabled(on);
    f.Check1->setEnabled(on);
    f.Check2->setEnabled(on);
    f.Text2->setEnabled(on);
    f.Command2[1]->setEnabled(on);
    f.m_add_midi->setEnabled(on);
    f.m_remove->setEnabled(on);
    f.m_all->setEnabled(on);
    f.m_play->setEnabled(on);
    f.m_stop->setEnabled(busy);
    f.m_convert->setEnabled(on);
    f.m_add_midi_c->setEnabled(on);
    f.m_remove_c->setEnabled(on);
}

}  // namespace

void EnterBusyForConversion(Form1& f) {
    switchForConversion(f, true);
}

void EndConversionBusy(Form1& f) {
    switchForConversion(f, false);
    f.Timer4->stop();
}

void LeaveBusy(Form1& f) {
    f.Timer2->start();
    f.Timer3->stop();
    f.Command1->setEnabled(true);
    f.Command2[0]->setEnabled(true);
    f.Command5->setEnabled(true);
    f.button1->setEnabled(true);
    f.m_add_midi->setEnabled(true);
    f.m_remove->setEnabled(true);
    f.m_all->setEnabled(true);
    f.m_play->setEnabled(true);
    f.m_convert->setEnabled(true);
    f.m_add_midi_c->setEnabled(true);
    f.m_remove_c->setEnabled(true);
    f.Command6->setEnabled(false);
    f.m_stop->setEnabled(false);
    f.LW1->setEnabled(true);
}

}  // namespace gui
