#pragma once
// What the desktop shows outside the window, over the session bus: the
// batch's progress on the taskbar entry (com.canonical.Unity.LauncherEntry,
// read by KDE's and GNOME's docks) and a notification when a batch ends
// (org.freedesktop.Notifications). Without a session bus or a notification
// service nothing happens and nothing waits.

#include <QObject>
#include <QString>

namespace gui {

class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // percent 0 to 100; -1 hides the progress.
    void showProgress(int percent);
    void notify(const QString& summary, const QString& body);
};

// The desktop entry the taskbar knows the program by.
inline constexpr char kDesktopEntry[] = "example.quillmoor.Sonbridge.desktop";

}  // namespace gui
