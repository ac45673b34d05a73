#pragma once
// Private message buses for tests and small fakes of the desktop's services on them: each test
// starts its own dbus-daemon (one as the session bus, one in place of the system bus), so no
// test reaches the user's desktop, and records what the program sends.
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <vector>

namespace testsupport {

// Pumps Qt's events until done() holds or timeoutMs has passed; returns done().
bool PumpUntil(const std::function<bool()>& done, int timeoutMs);

// A dbus-daemon of the test's own, ended with the object; nothing on it is started on demand.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // Empty when the daemon could not be started (Error() says why).
    QString Address() const { return m_address; }
    QString Error() const { return m_error; }
    // A connection of its own to this bus under a name unique in the process.
    QDBusConnection Connect();

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
    QString m_error;
    QStringList m_connections;
};

// Keeps every signal of one interface (any sender, path and member) that reaches the bus.
class SignalRecorder : public QObject {
    Q_OBJECT
public:
    SignalRecorder(QDBusConnection bus, const QString& interface);
    std::vector<QDBusMessage> signals_;
    // The signals with this member name.
    std::vector<QDBusMessage> Named(const QString& member) const;

public Q_SLOTS:
    void Record(const QDBusMessage& message);
};

// systemd-logind's Inhibit: answers each call with the writing end of a fresh pipe, so that
// the test sees when the caller lets go of it (every copy closed).
class FakeLogind : public QDBusVirtualObject {
public:
    // Owns org.freedesktop.login1 on the bus.
    explicit FakeLogind(QDBusConnection bus);
    ~FakeLogind() override;
    std::vector<QDBusMessage> calls;
    bool refuse = false;  // answer with an error instead
    // Whether the caller still holds the lock of the given call (its pipe is open).
    bool Held(std::size_t call) const;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
    QString introspect(const QString&) const override { return {}; }

private:
    std::vector<int> m_readEnds;
};

// The desktop portal's Inhibit and the Close of its requests.
class FakePortal : public QDBusVirtualObject {
public:
    explicit FakePortal(QDBusConnection bus);
    std::vector<QDBusMessage> calls;   // Inhibit calls
    QStringList handed;                // the request paths handed out
    QStringList closed;                // the request paths closed
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
    QString introspect(const QString&) const override { return {}; }
};

// A notification service: records Notify calls, answers with ids from 7 on, and can press a
// button (ActionInvoked) of a notification.
class FakeNotifications : public QDBusVirtualObject {
public:
    explicit FakeNotifications(QDBusConnection bus);
    std::vector<QDBusMessage> calls;
    void InvokeAction(uint id, const QString& action);
    void Close(uint id);
    uint LastId() const { return m_nextId - 1; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
    QString introspect(const QString&) const override { return {}; }

private:
    QDBusConnection m_bus;
    uint m_nextId = 7;
};

// The file manager's ShowItems, recorded.
class FakeFileManager : public QDBusVirtualObject {
public:
    explicit FakeFileManager(QDBusConnection bus);
    std::vector<QDBusMessage> calls;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
    QString introspect(const QString&) const override { return {}; }
};

}  // namespace testsupport
