#include "platform/DesktopTaskbarProgress.h"

#include "platform/DesktopBus.h"
#include "platform/DesktopEntry.h"

#include <QDBusMessage>

#include <algorithm>

namespace ondrava {

DesktopTaskbarProgress::DesktopTaskbarProgress() = default;

DesktopTaskbarProgress::DesktopTaskbarProgress(const QDBusConnection& bus) : m_bus(bus) {}

QString DesktopTaskbarProgress::AppUri()
{
    return QStringLiteral("application://") + QLatin1String(kDesktopEntryId) +
           QStringLiteral(".desktop");
}

void DesktopTaskbarProgress::SetProgress(double fraction)
{
    Update({{QStringLiteral("progress"), std::clamp(fraction, 0.0, 1.0)},
            {QStringLiteral("progress-visible"), true}});
}

void DesktopTaskbarProgress::HideProgress()
{
    Update({{QStringLiteral("progress-visible"), false}});
}

void DesktopTaskbarProgress::SetUrgent(bool urgent)
{
    if (!urgent && !m_urgent)
        return;
    m_urgent = urgent;
    Update({{QStringLiteral("urgent"), urgent}});
}

void DesktopTaskbarProgress::Update(const QVariantMap& properties)
{
    const std::optional<QDBusConnection> bus = m_bus.Get();
    if (!bus)
        return;
    QDBusMessage signal = QDBusMessage::createSignal(QLatin1String(kPath), QLatin1String(kInterface),
                                                     QStringLiteral("Update"));
    signal << AppUri() << properties;
    bus->send(signal);
}

}  // namespace ondrava
