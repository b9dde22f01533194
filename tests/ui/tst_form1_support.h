#pragma once
// Shared by the main-window suites: a throw-away home folder set before Qt
// starts (so settings and the documents folder never touch the real ones),
// start-up with scripted dialogs, and drops delivered the way Qt delivers them.

#include "support/gui/ScriptedDialogs.h"
#include "ui/Form1.h"
#include "ui/StartApplication.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

namespace form1test {

inline QTemporaryDir& Home() {
    static QTemporaryDir home;
    return home;
}

// Before QApplication: HOME inside a temporary folder, and no XDG overrides
// that could point the documents folder elsewhere.
inline void PrepareEnvironment() {
    qputenv("HOME", Home().path().toUtf8());
    for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DOCUMENTS_DIR"})
        qunsetenv(var);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) qputenv("SDL_AUDIODRIVER", "dummy");
}

inline QString Documents() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}
inline QString AppData() {
    return Documents() + QStringLiteral("/Quillmoor Sonbridge");
}
inline QString SettingsFile() {
    return AppData() + QStringLiteral("/settings.ini");
}

// Start-up as the program runs it, with the process exit replaced by a flag.
struct Started {
    std::unique_ptr<ui::Application> app;
    bool exited = false;
    ui::Form1& form() { return *app->window; }
};

inline std::unique_ptr<Started> Start(ScriptedDialogs& dialogs) {
    auto s = std::make_unique<Started>();
    s->app = ui::StartApplication(dialogs);
    if (s->app) s->app->window->exitProcess = [flag = &s->exited] { *flag = true; };
    return s;
}

inline QString OutputDir() {
    const QString dir = qEnvironmentVariable("SONBRIDGE_TEST_OUTPUT", QDir::currentPath());
    QDir().mkpath(dir);
    return dir;
}

// A file of the given size, written for real.
inline QString MakeFile(const QString& folder, const QString& name, qint64 size) {
    const QString path = folder + QLatin1Char('/') + name;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(QByteArray(size, 'x'));
    return path;
}

inline std::unique_ptr<QMimeData> FileDrag(const QStringList& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& p : paths) urls.append(QUrl::fromLocalFile(p));
    data->setUrls(urls);
    return data;
}

// The widget Qt hands a drag at pos (window coordinates): the one under the
// pointer, or its nearest parent that accepts drops.
inline QWidget* DropTargetAt(QWidget* window, QPoint pos) {
    QWidget* w = window->childAt(pos);
    if (!w) w = window;
    while (w && !w->acceptDrops() && !w->isWindow()) w = w->parentWidget();
    return w && w->acceptDrops() ? w : nullptr;
}

// Drags data to pos (window coordinates) and drops it there, the way Qt
// delivers it: the drag is offered up the parent chain until one takes it,
// and the drop goes to that one. True when the drop was accepted.
inline bool DropAt(QWidget* window, QPoint pos, const QMimeData* data) {
    QWidget* target = DropTargetAt(window, pos);
    if (!target) return false;
    QPoint local = target->mapFrom(window, pos);
    QDragEnterEvent enter(local, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    // The taker is the widget whose coordinates the event ended in.
    while (target->mapFrom(window, pos) != enter.position().toPoint() && !target->isWindow())
        target = target->parentWidget();
    local = target->mapFrom(window, pos);
    QDragMoveEvent move(local, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    if (!move.isAccepted()) return false;
    QDropEvent drop(QPointF(local), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

inline bool DropOn(QWidget* widget, const QMimeData* data) {
    return DropAt(widget->window(), widget->mapTo(widget->window(), widget->rect().center()), data);
}

}  // namespace form1test

#define FORM1_TEST_MAIN(TestClass)            \
    int main(int argc, char** argv) {         \
        form1test::PrepareEnvironment();      \
        QApplication app(argc, argv);         \
        TestClass tc;                         \
        return QTest::qExec(&tc, argc, argv); \
    }
