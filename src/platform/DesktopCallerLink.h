#pragma once
// The calling download manager on the session bus: it runs when it owns the name
// org.zelt.<its name>; a finished conversion is announced by the signal
// PVOndravaConversionComplete(int32 download identifier) from /org/zelt/Ondrava, interface
// org.zelt.Ondrava, to no particular destination.
#include "platform/CallerLink.h"
#include "platform/DesktopBus.h"

#include <QDBusConnection>

#include <optional>

namespace ondrava {

class DesktopCallerLink : public CallerLink {
public:
    // The user's session bus, found at the first question.
    DesktopCallerLink();
    // A bus of the caller's choosing (a private bus in tests).
    explicit DesktopCallerLink(const QDBusConnection& bus);

    // False without a session bus.
    bool IsRunning(const QString& appName) override;
    // Sent without waiting; without a session bus nothing happens.
    void AnnounceConversionComplete(int downloadId) override;

    static constexpr const char* kNamePrefix = "org.zelt.";
    static constexpr const char* kPath = "/org/zelt/Ondrava";
    static constexpr const char* kInterface = "org.zelt.Ondrava";
    static constexpr const char* kSignal = "PVOndravaConversionComplete";

private:
    SessionBusOnDemand m_bus;
};

}  // namespace ondrava
