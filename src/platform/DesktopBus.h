#pragma once
// The message buses of the desktop, only where they already exist: without an address the bus
// library would try to launch a session bus, which is slow and pointless for a program that
// only talks to services already there.
#include <QDBusConnection>

#include <optional>

namespace ondrava {

// The user's session bus when one is announced (DBUS_SESSION_BUS_ADDRESS or
// $XDG_RUNTIME_DIR/bus) and reachable.
std::optional<QDBusConnection> ExistingSessionBus();
// The system bus when one is announced (DBUS_SYSTEM_BUS_ADDRESS or the standard socket) and
// reachable.
std::optional<QDBusConnection> ExistingSystemBus();

// The session bus, looked for at its first use rather than at start-up, or a bus given (a
// private one). Empty while there is none or it has gone.
class SessionBusOnDemand {
public:
    SessionBusOnDemand() = default;
    explicit SessionBusOnDemand(const QDBusConnection& bus) : m_bus(bus), m_looked(true) {}
    std::optional<QDBusConnection> Get();

private:
    std::optional<QDBusConnection> m_bus;
    bool m_looked = false;
};

}  // namespace ondrava
