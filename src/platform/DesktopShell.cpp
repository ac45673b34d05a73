#include "platform/DesktopShell.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>

namespace ondrava {

namespace {

constexpr int kFileManagerTimeoutMs = 5000;

bool AskFileManagerToShow(const QString& filePath)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(filePath).toString()} << QString();
    const QDBusMessage reply = bus.call(call, QDBus::Block, kFileManagerTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

}  // namespace

bool DesktopShell::OpenUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

bool DesktopShell::StartDetached(const QString& program, const QStringList& args)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(args);
    process.setStandardInputFile(QProcess::nullDevice());
    return process.startDetached();
}

bool DesktopShell::ShowInFolder(const QString& filePath)
{
    const QString absolute = QFileInfo(filePath).absoluteFilePath();
    if (AskFileManagerToShow(absolute))
        return true;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(absolute).absolutePath()));
}

}  // namespace ondrava
