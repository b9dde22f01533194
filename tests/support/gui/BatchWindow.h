#pragma once
// The main window started for batch tests: a folder for the sources, the
// scripted dialogs, and the row and destination accessors the batch suites
// share. A suite derives from QObject and this.

#include "support/gui/ScriptedDialogs.h"
#include "gui/MainWindow.h"
#include "gui/StartApplication.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <memory>

class BatchWindow {
protected:
    QTemporaryDir m_media;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<gui::Application> m_app;
    bool m_exited = false;

    // Starts the program; closing it only sets m_exited.
    bool startWindow() {
        if (!m_media.isValid()) return false;
        m_app = gui::StartApplication(m_dialogs);
        if (!m_app) return false;
        form().exitProcess = [this] { m_exited = true; };
        return true;
    }
    // An empty list, fresh answers, and the encoder settings every case starts from.
    void resetWindow() {
        list().removeAll();
        m_dialogs = ScriptedDialogs();
        form().Check2->setChecked(true);
        form().appState.Bitrate = 128;
        form().appState.SampleRate = 44100;
        form().appState.Stereo = 1;
    }

    gui::Form1& form() { return *m_app->window; }
    gui::SourceList& list() { return form().sourceList(); }
    QStringList statuses() {
        QStringList s;
        for (int i = 0; i < list().count(); ++i) s << list().status(i);
        return s;
    }
    QString statusTip(int row) {
        return form().LW1->topLevelItem(row)->toolTip(gui::kStatusColumn);
    }
    void setDestination(const QString& folder) {
        form().Check1->setChecked(false);
        form().Text2->setText(folder);
    }
    void addRows(const QStringList& paths) {
        for (const QString& p : paths) QVERIFY2(list().addSourceFile(p), qPrintable(p));
    }
    QString media(const QString& name) { return m_media.filePath(name); }
};

// Runs action on every turn of the event loop while a batch runs.
class DuringRun : public QObject {
public:
    explicit DuringRun(std::function<void()> action) : m_action(std::move(action)) {
        connect(&m_timer, &QTimer::timeout, this, [this] { m_action(); });
        m_timer.start(0);
    }

private:
    QTimer m_timer;
    std::function<void()> m_action;
};

// Settings and the default output folder go into a private home.
#define BATCH_TEST_MAIN(TestClass)                                       \
    int main(int argc, char** argv) {                                    \
        QTemporaryDir home;                                              \
        qputenv("HOME", home.path().toUtf8());                           \
        qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8()); \
        QApplication app(argc, argv);                                    \
        TestClass test;                                                  \
        return QTest::qExec(&test, argc, argv);                          \
    }
