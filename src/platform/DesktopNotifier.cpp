#include "platform/DesktopNotifier.h"

#include "platform/DesktopBus.h"
#include "platform/DesktopEntry.h"
#include "platform/Shell.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <QVariantMap>

namespace ondrava {

namespace {

// Notifications whose buttons are remembered at most; a service that never reports closing
// them must not make the list grow without end.
constexpr std::size_t kMaxRemembered = 32;

}  // namespace

DesktopNotifier::DesktopNotifier() = default;

DesktopNotifier::DesktopNotifier(const QDBusConnection& bus) : m_bus(bus) {}

void DesktopNotifier::Notify(const QString& summary, const QString& body)
{
    Send(summary, body, nullptr);
}

void DesktopNotifier::NotifyWithFileActions(const QString& summary, const QString& body,
                                            const FileActions& actions)
{
    Send(summary, body, actions.file.isEmpty() ? nullptr : &actions);
}

void DesktopNotifier::Send(const QString& summary, const QString& body, const FileActions* actions)
{
    std::optional<QDBusConnection> bus = m_bus.Get();
    if (!bus)
        return;

    QStringList buttons;
    if (actions) {
        buttons << QLatin1String(kOpenAction) << actions->openLabel
                << QLatin1String(kShowInFolderAction) << actions->showInFolderLabel;
        if (!m_listening) {
            // Listening starts before the first notification with buttons goes out, so that no
            // answer can come before it.
            const QString service = QLatin1String(kService), path = QLatin1String(kPath),
                          interface = QLatin1String(kInterface);
            bus->connect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                         SLOT(OnActionInvoked(uint, QString)));
            bus->connect(service, path, interface, QStringLiteral("NotificationClosed"), this,
                         SLOT(OnNotificationClosed(uint, uint)));
            m_listening = true;
        }
    }

    QDBusMessage call = QDBusMessage::createMethodCall(
        QLatin1String(kService), QLatin1String(kPath), QLatin1String(kInterface),
        QStringLiteral("Notify"));
    call << QString::fromLatin1(kAppName) << uint(0) << QString::fromLatin1(kAppIcon) << summary
         << body << buttons
         << QVariantMap{{QStringLiteral("desktop-entry"), QString::fromLatin1(kDesktopEntryId)}}
         << int(-1);
    if (!actions) {
        // Sent without waiting: a service that is missing, slow or started on demand never
        // holds the window up, and its answer (the id, or an error) is not needed.
        bus->send(call);
        return;
    }
    // The id in the answer ties the buttons to the file; the answer arrives while the window
    // pumps its events, and a missing service only means no buttons to answer.
    auto* watcher = new QDBusPendingCallWatcher(bus->asyncCall(call), this);
    const QString file = actions->file;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, file](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<uint> reply = *w;
        if (!reply.isError()) {
            if (m_files.size() >= kMaxRemembered)
                m_files.erase(m_files.begin());
            m_files[reply.value()] = file;
        }
        w->deleteLater();
    });
}

void DesktopNotifier::OnActionInvoked(uint id, const QString& action)
{
    const auto it = m_files.find(id);
    if (it == m_files.end())
        return;  // another program's notification, or one whose buttons are gone
    const QString file = it->second;
    if (action == QLatin1String(kOpenAction))
        CurrentShell().OpenUrl(QUrl::fromLocalFile(file));
    else if (action == QLatin1String(kShowInFolderAction))
        CurrentShell().ShowInFolder(file);
}

void DesktopNotifier::OnNotificationClosed(uint id, uint)
{
    m_files.erase(id);
}

}  // namespace ondrava
