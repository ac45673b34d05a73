#include "platform/DesktopNotifier.h"

#include <QDBusMessage>
#include <QFileInfo>
#include <QStringList>
#include <QVariantMap>

namespace ondrava {

namespace {

// Only a bus that is already there counts: without an address the bus library would try to
// launch one, which is slow and pointless for a notification nobody could see.
bool SessionBusExists()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtimeDir.isEmpty() && QFileInfo::exists(runtimeDir + QStringLiteral("/bus"));
}

}  // namespace

DesktopNotifier::DesktopNotifier() = default;

DesktopNotifier::DesktopNotifier(const QDBusConnection& bus) : m_bus(bus) {}

void DesktopNotifier::Notify(const QString& summary, const QString& body)
{
    if (!m_bus) {
        if (!SessionBusExists())
            return;
        m_bus = QDBusConnection::sessionBus();
    }
    if (!m_bus->isConnected())
        return;

    QDBusMessage call = QDBusMessage::createMethodCall(
        QLatin1String(kService), QLatin1String(kPath), QLatin1String(kInterface),
        QStringLiteral("Notify"));
    call << QString::fromLatin1(kAppName) << uint(0) << QString::fromLatin1(kAppIcon) << summary
         << body << QStringList() << QVariantMap() << int(-1);
    // Sent without waiting: a service that is missing, slow or started on demand never holds
    // the window up, and its answer (the id, or an error) is not needed.
    m_bus->send(call);
}

}  // namespace ondrava
