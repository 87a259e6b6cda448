#include "ui/toolkit/DesktopCalls.h"

#include "ui/toolkit/DesktopIntegration.h"

#include <QApplication>
#include <QFileInfo>
#include <QUrl>

#ifdef PAGESMITH_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#endif

namespace pagesmith {

namespace {

#ifdef PAGESMITH_HAVE_DBUS
// The freedesktop.org services file managers and notification daemons offer
// on the session bus; absent ones are simply not there to answer.
bool sessionServiceRuns(const QString& service) {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface() &&
           bus.interface()->isServiceRegistered(service).value();
}

bool fileManagerShows(const QString& path) {
    const QString service = QStringLiteral("org.freedesktop.FileManager1");
    if (!sessionServiceRuns(service))
        return false;
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/FileManager1"),
                                       service, QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    return QDBusConnection::sessionBus().call(call).type() == QDBusMessage::ReplyMessage;
}

bool notificationShown(const QString& title, const QString& text) {
    const QString service = QStringLiteral("org.freedesktop.Notifications");
    if (!sessionServiceRuns(service))
        return false;
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/Notifications"),
                                       service, QStringLiteral("Notify"));
    const uint replacesNone = 0;
    const int defaultTimeout = -1;
    call << QStringLiteral("Pagesmith") << replacesNone
         << QString::fromLatin1(DesktopIntegration::kDesktopEntryName) << title << text
         << QStringList() << QVariantMap() << defaultTimeout;
    return QDBusConnection::sessionBus().call(call).type() == QDBusMessage::ReplyMessage;
}
#else
bool fileManagerShows(const QString&) {
    return false;
}

bool notificationShown(const QString&, const QString&) {
    return false;
}
#endif

} // namespace

bool PlatformDesktopCalls::openPath(const QString& path) {
    return DesktopIntegration::openUrl(QUrl::fromLocalFile(path));
}

bool PlatformDesktopCalls::showInFolder(const QString& path) {
    if (fileManagerShows(path))
        return true;
    return openPath(QFileInfo(path).absolutePath());
}

void PlatformDesktopCalls::notify(QWidget* window, const QString& title, const QString& text) {
    if (!notificationShown(title, text))
        QApplication::alert(window);
}

DesktopCalls& platformDesktopCalls() {
    static PlatformDesktopCalls calls;
    return calls;
}

} // namespace pagesmith
