#include "gui/DesktopNotifier.h"

#include "core/ProductInfo.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QVariantMap>

namespace gui {

namespace {

constexpr int kNotificationTimeoutMs = -1;  // the server's own choice

}  // namespace

void DesktopNotifier::showProgress(int percent) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    QDBusMessage update = QDBusMessage::createSignal(
        QStringLiteral("/com/canonical/unity/launcherentry/sonbridge"),
        QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"));
    const QVariantMap properties{{QStringLiteral("progress"), qBound(0, percent, 100) / 100.0},
                                 {QStringLiteral("progress-visible"), percent >= 0}};
    update << QStringLiteral("application://%1").arg(QLatin1String(kDesktopEntry)) << properties;
    bus.send(update);
}

void DesktopNotifier::notify(const QString& summary, const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QVariantMap hints{
        {QStringLiteral("desktop-entry"), QStringLiteral("example.quillmoor.Sonbridge")}};
    call << core::kProductName << uint(0) << QStringLiteral("sonbridge") << summary << body
         << QStringList() << hints << kNotificationTimeoutMs;
    // Not waited for: a missing service answers with an error nobody needs.
    bus.asyncCall(call);
}

}  // namespace gui
