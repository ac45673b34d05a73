#include "platform/DesktopSleepInhibitor.h"

#include "platform/DesktopBus.h"

#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QVariantMap>

#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace ondrava {

namespace {

constexpr int kCallTimeoutMs = 10000;
// The portal's flag for "suspending the session".
constexpr uint kPortalSuspend = 4;

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");

}  // namespace

DesktopSleepInhibitor::DesktopSleepInhibitor() = default;

DesktopSleepInhibitor::DesktopSleepInhibitor(std::optional<QDBusConnection> systemBus,
                                             std::optional<QDBusConnection> sessionBus)
    : m_systemBus(std::move(systemBus)), m_sessionBus(std::move(sessionBus)), m_looked(true)
{
}

DesktopSleepInhibitor::~DesktopSleepInhibitor() { Release(); }

void DesktopSleepInhibitor::FindBuses()
{
    if (m_looked)
        return;
    m_looked = true;
    m_systemBus = ExistingSystemBus();
    m_sessionBus = ExistingSessionBus();
}

void DesktopSleepInhibitor::Inhibit(const QString& why)
{
    if (m_wanted)
        return;
    m_wanted = true;
    m_why = why;
    if (m_fd >= 0 || !m_portalHandle.isEmpty())
        return;
    FindBuses();
    if (!m_systemBus || !m_systemBus->isConnected()) {
        AskPortal();
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep") << QLatin1String(kWho) << why << QStringLiteral("block");
    if (!m_systemBus->callWithCallback(call, this, SLOT(OnLogindReply(QDBusMessage)),
                                       SLOT(OnLogindError(QDBusError)), kCallTimeoutMs))
        AskPortal();
}

void DesktopSleepInhibitor::OnLogindReply(const QDBusMessage& reply)
{
    const QList<QVariant> args = reply.arguments();
    const QDBusUnixFileDescriptor descriptor =
        args.isEmpty() ? QDBusUnixFileDescriptor() : args.constFirst().value<QDBusUnixFileDescriptor>();
    if (!descriptor.isValid()) {
        OnLogindError(QDBusError());
        return;
    }
    if (!m_wanted || m_fd >= 0)
        return;  // the message's own copy closes when it goes
    // A copy of our own, closed on exec so that the tool never inherits the lock and keeps the
    // computer awake after the run.
    m_fd = ::fcntl(descriptor.fileDescriptor(), F_DUPFD_CLOEXEC, 0);
}

void DesktopSleepInhibitor::OnLogindError(const QDBusError&)
{
    if (m_wanted && m_fd < 0 && m_portalHandle.isEmpty())
        AskPortal();
}

void DesktopSleepInhibitor::AskPortal()
{
    if (!m_sessionBus || !m_sessionBus->isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        kPortalService, QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Inhibit"), QStringLiteral("Inhibit"));
    call << QString() << kPortalSuspend << QVariantMap{{QStringLiteral("reason"), m_why}};
    m_sessionBus->callWithCallback(call, this, SLOT(OnPortalReply(QDBusMessage)),
                                   SLOT(OnPortalError(QDBusError)), kCallTimeoutMs);
}

void DesktopSleepInhibitor::OnPortalReply(const QDBusMessage& reply)
{
    const QList<QVariant> args = reply.arguments();
    const QString handle =
        args.isEmpty() ? QString() : args.constFirst().value<QDBusObjectPath>().path();
    if (handle.isEmpty())
        return;
    if (!m_wanted || m_fd >= 0 || !m_portalHandle.isEmpty()) {
        ClosePortalRequest(handle);
        return;
    }
    m_portalHandle = handle;
}

void DesktopSleepInhibitor::OnPortalError(const QDBusError&) {}

void DesktopSleepInhibitor::ClosePortalRequest(const QString& handle)
{
    if (!m_sessionBus || !m_sessionBus->isConnected())
        return;
    m_sessionBus->send(QDBusMessage::createMethodCall(kPortalService, handle,
                                                      QStringLiteral("org.freedesktop.portal.Request"),
                                                      QStringLiteral("Close")));
}

void DesktopSleepInhibitor::Release()
{
    m_wanted = false;
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_portalHandle.isEmpty()) {
        ClosePortalRequest(m_portalHandle);
        m_portalHandle.clear();
    }
}

QString DesktopSleepInhibitor::HeldBy() const
{
    if (m_fd >= 0)
        return QStringLiteral("logind");
    if (!m_portalHandle.isEmpty())
        return QStringLiteral("portal");
    return {};
}

}  // namespace ondrava
