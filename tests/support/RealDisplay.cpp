#include "support/RealDisplay.h"

#include <QElapsedTimer>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

namespace realdisplay {

bool WaitUntil(const std::function<bool()>& pred, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!pred()) {
        if (timer.elapsed() > timeoutMs)
            return pred();
        QThread::msleep(40);
    }
    return true;
}

XDisplay::~XDisplay()
{
    if (m_server.state() != QProcess::NotRunning) {
        ::kill(pid_t(m_server.processId()), SIGTERM);
        if (!m_server.waitForFinished(5000)) {
            ::kill(pid_t(m_server.processId()), SIGKILL);
            m_server.waitForFinished(5000);
        }
    }
}

bool XDisplay::Start(int width, int height)
{
    // Xvfb picks a free display number itself and writes it to its standard output.
    m_server.setProcessChannelMode(QProcess::SeparateChannels);
    m_server.setStandardInputFile(QProcess::nullDevice());
    m_server.start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                    QStringLiteral("0"), QStringLiteral("%1x%2x24").arg(width).arg(height),
                    QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset")});
    if (!m_server.waitForStarted(10000))
        return false;
    QByteArray out;
    const bool got = WaitUntil(
        [&] {
            m_server.waitForReadyRead(100);
            out += m_server.readAllStandardOutput();
            return out.contains('\n') || m_server.state() == QProcess::NotRunning;
        },
        30000);
    const QString number = QString::fromLatin1(out).trimmed();
    if (!got || number.isEmpty() || m_server.state() == QProcess::NotRunning)
        return false;
    m_name = QLatin1Char(':') + number;
    // The server answers once a client can connect.
    return WaitUntil([this] {
        bool ok = false;
        Tool(QStringLiteral("xdpyinfo"), {}, &ok, 5000);
        if (!ok)
            Tool(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTED")}, &ok, 5000);
        return ok;
    }, 20000);
}

bool XDisplay::Running() const
{
    return m_server.state() == QProcess::Running;
}

QString XDisplay::Tool(const QString& program, const QStringList& args, bool* ok, int timeoutMs) const
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_name);
    // xprop prints non-ASCII text as it is only in a UTF-8 locale.
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(program, args);
    const bool finished = p.waitForStarted(10000) && p.waitForFinished(timeoutMs);
    if (!finished) {
        p.kill();
        p.waitForFinished(5000);
    }
    if (ok)
        *ok = finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return QString::fromUtf8(p.readAllStandardOutput());
}

void XDisplay::MoveMouse(QPoint screen) const
{
    Tool(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(screen.x()),
                                     QString::number(screen.y())});
}

void XDisplay::Click(QPoint screen, int button) const
{
    Tool(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(screen.x()),
                                     QString::number(screen.y()), QStringLiteral("click"),
                                     QString::number(button)});
}

void XDisplay::PressButton(QPoint screen, int button) const
{
    Tool(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(screen.x()),
                                     QString::number(screen.y()), QStringLiteral("mousedown"),
                                     QString::number(button)});
}

void XDisplay::ReleaseButton(int button) const
{
    Tool(QStringLiteral("xdotool"), {QStringLiteral("mouseup"), QString::number(button)});
}

void XDisplay::Key(const QString& keys) const
{
    Tool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys});
}

void XDisplay::Type(const QString& text) const
{
    Tool(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("8"), text});
}

void XDisplay::Focus(qulonglong window) const
{
    Tool(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QString::number(window)});
}

QList<qulonglong> XDisplay::VisibleWindows(qint64 pid) const
{
    const QString out = Tool(QStringLiteral("xdotool"),
                             {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                              QStringLiteral("--pid"), QString::number(pid)});
    QList<qulonglong> windows;
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        bool ok = false;
        const qulonglong id = line.trimmed().toULongLong(&ok);
        if (ok)
            windows << id;
    }
    return windows;
}

bool XDisplay::IsViewable(qulonglong window) const
{
    return Tool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)})
        .contains(QLatin1String("Map State: IsViewable"));
}

QRect XDisplay::Geometry(qulonglong window) const
{
    const QString out = Tool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)});
    auto field = [&out](const char* name) {
        const QRegularExpression re(QStringLiteral("%1:\\s*(-?\\d+)").arg(QLatin1String(name)));
        return re.match(out).captured(1).toInt();
    };
    return QRect(field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height"));
}

QString XDisplay::TextProperty(qulonglong window, const QString& property) const
{
    const QString out = Tool(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window), property});
    // WM_NAME(STRING) = "text"  or  _NET_WM_NAME(UTF8_STRING) = "text"
    const qsizetype eq = out.indexOf(QLatin1String(" = \""));
    if (eq < 0)
        return QString();
    QString value = out.mid(eq + 4).trimmed();
    if (value.endsWith(QLatin1Char('"')))
        value.chop(1);
    value.replace(QLatin1String("\\\""), QLatin1String("\""));
    value.replace(QLatin1String("\\\\"), QLatin1String("\\"));
    return value;
}

QImage XDisplay::Screenshot() const
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("screen.png"));
    Tool(QStringLiteral("import"), {QStringLiteral("-display"), m_name, QStringLiteral("-window"),
                                    QStringLiteral("root"), file});
    return QImage(file).convertToFormat(QImage::Format_RGB32);
}

}  // namespace realdisplay
