#include "platform/DesktopBus.h"

#include <QFileInfo>

namespace ondrava {

namespace {

bool SessionBusAnnounced()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtimeDir.isEmpty() && QFileInfo::exists(runtimeDir + QStringLiteral("/bus"));
}

bool SystemBusAnnounced()
{
    return !qEnvironmentVariableIsEmpty("DBUS_SYSTEM_BUS_ADDRESS") ||
           QFileInfo::exists(QStringLiteral("/run/dbus/system_bus_socket")) ||
           QFileInfo::exists(QStringLiteral("/var/run/dbus/system_bus_socket"));
}

std::optional<QDBusConnection> IfConnected(const QDBusConnection& bus)
{
    if (!bus.isConnected())
        return std::nullopt;
    return bus;
}

}  // namespace

std::optional<QDBusConnection> ExistingSessionBus()
{
    if (!SessionBusAnnounced())
        return std::nullopt;
    return IfConnected(QDBusConnection::sessionBus());
}

std::optional<QDBusConnection> ExistingSystemBus()
{
    if (!SystemBusAnnounced())
        return std::nullopt;
    return IfConnected(QDBusConnection::systemBus());
}

std::optional<QDBusConnection> SessionBusOnDemand::Get()
{
    if (!m_looked) {
        m_looked = true;
        m_bus = ExistingSessionBus();
    }
    if (!m_bus || !m_bus->isConnected())
        return std::nullopt;
    return m_bus;
}

}  // namespace ondrava
