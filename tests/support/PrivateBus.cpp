#include "support/PrivateBus.h"

#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QDeadlineTimer>
#include <QStandardPaths>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace testsupport {

bool PumpUntil(const std::function<bool()>& done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

PrivateBus::PrivateBus()
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (program.isEmpty()) {
        m_error = QStringLiteral("dbus-daemon is not installed");
        return;
    }
    const QString config = m_dir.filePath(QStringLiteral("bus.conf"));
    WriteFile(config, "<busconfig>\n<type>session</type>\n<listen>unix:dir=" + m_dir.path().toUtf8() +
                          "</listen>\n<auth>EXTERNAL</auth>\n"
                          "<policy context=\"default\">\n"
                          "<allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                          "<allow eavesdrop=\"true\"/>\n<allow own=\"*\"/>\n"
                          "</policy>\n</busconfig>\n");
    m_daemon.setStandardInputFile(QProcess::nullDevice());
    m_daemon.start(program, {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                             QStringLiteral("--print-address")});
    if (!m_daemon.waitForStarted(10000)) {
        m_error = QStringLiteral("dbus-daemon did not start");
        return;
    }
    QDeadlineTimer deadline(20000);
    while (!m_daemon.canReadLine() && !deadline.hasExpired() && m_daemon.state() == QProcess::Running)
        m_daemon.waitForReadyRead(int(qMin<qint64>(deadline.remainingTime(), 1000)));
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    if (m_address.isEmpty())
        m_error = QString::fromUtf8(m_daemon.readAllStandardError());
}

PrivateBus::~PrivateBus()
{
    for (const QString& name : m_connections)
        QDBusConnection::disconnectFromBus(name);
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.kill();
        m_daemon.waitForFinished(10000);
    }
}

QDBusConnection PrivateBus::Connect()
{
    static int counter = 0;
    const QString name = QStringLiteral("private-bus-%1").arg(++counter);
    m_connections << name;
    return QDBusConnection::connectToBus(m_address, name);
}

SignalRecorder::SignalRecorder(QDBusConnection bus, const QString& interface)
{
    bus.connect(QString(), QString(), interface, QString(), this, SLOT(Record(QDBusMessage)));
}

void SignalRecorder::Record(const QDBusMessage& message) { signals_.push_back(message); }

std::vector<QDBusMessage> SignalRecorder::Named(const QString& member) const
{
    std::vector<QDBusMessage> named;
    for (const QDBusMessage& m : signals_) {
        if (m.member() == member)
            named.push_back(m);
    }
    return named;
}

FakeLogind::FakeLogind(QDBusConnection bus)
{
    bus.registerVirtualObject(QStringLiteral("/org/freedesktop/login1"), this);
    bus.registerService(QStringLiteral("org.freedesktop.login1"));
}

FakeLogind::~FakeLogind()
{
    for (int fd : m_readEnds)
        ::close(fd);
}

bool FakeLogind::handleMessage(const QDBusMessage& message, const QDBusConnection& connection)
{
    calls.push_back(message);
    if (refuse) {
        connection.send(message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
                                                 QStringLiteral("not allowed")));
        return true;
    }
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return false;
    m_readEnds.push_back(ends[0]);
    // The descriptor object copies the writing end; ours is closed at once, so the pipe ends
    // when the caller's copies do.
    connection.send(message.createReply(QVariant::fromValue(QDBusUnixFileDescriptor(ends[1]))));
    ::close(ends[1]);
    return true;
}

bool FakeLogind::Held(std::size_t call) const
{
    if (call >= m_readEnds.size())
        return false;
    pollfd p{m_readEnds[call], POLLIN, 0};
    // A pipe whose writers are all gone reads as hung up (or readable at its end).
    return ::poll(&p, 1, 0) == 0;
}

FakePortal::FakePortal(QDBusConnection bus)
{
    bus.registerVirtualObject(QStringLiteral("/org/freedesktop/portal/desktop"), this,
                              QDBusConnection::SubPath);
    bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop"));
}

bool FakePortal::handleMessage(const QDBusMessage& message, const QDBusConnection& connection)
{
    if (message.member() == QLatin1String("Inhibit")) {
        calls.push_back(message);
        const QString handle =
            QStringLiteral("/org/freedesktop/portal/desktop/request/1_1/t%1").arg(handed.size());
        handed << handle;
        connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(handle))));
        return true;
    }
    if (message.member() == QLatin1String("Close")) {
        closed << message.path();
        connection.send(message.createReply());
        return true;
    }
    return false;
}

FakeNotifications::FakeNotifications(QDBusConnection bus) : m_bus(bus)
{
    bus.registerVirtualObject(QStringLiteral("/org/freedesktop/Notifications"), this);
    bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
}

bool FakeNotifications::handleMessage(const QDBusMessage& message, const QDBusConnection& connection)
{
    calls.push_back(message);
    connection.send(message.createReply(QVariant::fromValue(m_nextId++)));
    return true;
}

void FakeNotifications::InvokeAction(uint id, const QString& action)
{
    QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
                                                     QStringLiteral("org.freedesktop.Notifications"),
                                                     QStringLiteral("ActionInvoked"));
    signal << id << action;
    m_bus.send(signal);
}

void FakeNotifications::Close(uint id)
{
    QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
                                                     QStringLiteral("org.freedesktop.Notifications"),
                                                     QStringLiteral("NotificationClosed"));
    signal << id << uint(2);
    m_bus.send(signal);
}

FakeFileManager::FakeFileManager(QDBusConnection bus)
{
    bus.registerVirtualObject(QStringLiteral("/org/freedesktop/FileManager1"), this);
    bus.registerService(QStringLiteral("org.freedesktop.FileManager1"));
}

bool FakeFileManager::handleMessage(const QDBusMessage& message, const QDBusConnection& connection)
{
    calls.push_back(message);
    connection.send(message.createReply());
    return true;
}

}  // namespace testsupport
