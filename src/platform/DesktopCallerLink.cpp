#include "platform/DesktopCallerLink.h"

#include "platform/DesktopBus.h"

#include <QDBusMessage>

namespace ondrava {

namespace {

// The bus daemon answers this question itself; a bus that does not answer in time counts as
// one without the calling program.
constexpr int kOwnerQueryTimeoutMs = 5000;

}  // namespace

DesktopCallerLink::DesktopCallerLink() = default;

DesktopCallerLink::DesktopCallerLink(const QDBusConnection& bus) : m_bus(bus) {}

bool DesktopCallerLink::IsRunning(const QString& appName)
{
    const std::optional<QDBusConnection> bus = m_bus.Get();
    if (!bus || appName.isEmpty())
        return false;
    QDBusMessage query = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    query << QLatin1String(kNamePrefix) + appName;
    const QDBusMessage reply = bus->call(query, QDBus::Block, kOwnerQueryTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().constFirst().toBool();
}

void DesktopCallerLink::AnnounceConversionComplete(int downloadId)
{
    const std::optional<QDBusConnection> bus = m_bus.Get();
    if (!bus)
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        QLatin1String(kPath), QLatin1String(kInterface), QLatin1String(kSignal));
    signal << qint32(downloadId);
    bus->send(signal);
}

}  // namespace ondrava
