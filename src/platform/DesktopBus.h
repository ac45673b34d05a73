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

}  // namespace ondrava
