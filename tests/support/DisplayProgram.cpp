#include "support/DisplayProgram.h"

#include "support/TestSupport.h"

#include <QDate>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QSettings>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace realdisplay {

namespace {

// The stand-in media tool. A probe ("-i source") reports a 20 s duration; a conversion
// ("-progress file -i source ... output") creates its output at once, writes progress for the
// configured number of 0.2 s steps and then completes the output. Every call leaves its id in running/ while it lives and a
// line in calls; concurrency keeps how many were alive when each one started.
const char* const kStandIn = R"SH(rec='@RECORD@'
mkdir -p "$rec/running"
: > "$rec/running/$$"
n=0
for f in "$rec/running"/*; do
  p=${f##*/}
  # The id of a stand-in that was killed may belong to another process by now.
  if tr '\0' ' ' < "/proc/$p/cmdline" 2>/dev/null | grep -qF '@TOOL@'; then n=$((n+1)); fi
done
echo "$n" >> "$rec/concurrency"
if [ "$1" != "-progress" ]; then
  echo "$$ probe $*" >> "$rec/calls"
  echo "  Duration: 00:00:20.00, start: 0.000000, bitrate: 1000 kb/s" >&2
  rm -f "$rec/running/$$"
  exit 1
fi
echo "$$ convert $*" >> "$rec/calls"
progress=$2
for out; do :; done
# Like the real tool, the output exists from the start of a run.
echo "partial" > "$out"
steps=$(cat "$rec/steps" 2>/dev/null || echo 20)
i=0
while [ "$i" -lt "$steps" ]; do
  i=$((i+1))
  printf 'frame=%d\nfps=25.0\nbitrate=1000.0kbits/s\ntotal_size=%d\nout_time_us=%d\nout_time_ms=%d\nout_time=00:00:00.000000\nprogress=continue\n' \
    "$i" "$((i*1000))" "$((i*20000000/steps))" "$((i*20000000/steps))" >> "$progress"
  sleep 0.2
done
echo "stand-in output" > "$out"
echo "$$ end" >> "$rec/calls"
rm -f "$rec/running/$$"
exit 0
)SH";

// Takes the place of the desktop's opener and browser: it only writes down what it was asked.
const char* const kOpener = R"SH(echo "$(basename "$0") $*" >> '@RECORD@/opener'
)SH";

bool Alive(qint64 pid)
{
    if (pid <= 0 || ::kill(pid_t(pid), 0) != 0)
        return false;
    const QByteArray stat = testsupport::ReadFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype close = stat.lastIndexOf(')');
    return close < 0 || stat.mid(close + 2, 1) != "Z";
}

}  // namespace

DisplayProgram::DisplayProgram(XDisplay& display) : m_display(display)
{
    for (const QString& d : {Root() + QStringLiteral("/config/Zelt"), DataHome(), Root() + QStringLiteral("/runtime"),
                             Work(), RecordDir() + QStringLiteral("/running"), Root() + QStringLiteral("/bin")})
        QDir().mkpath(d);
    ::chmod(QFile::encodeName(Root() + QStringLiteral("/runtime")).constData(), 0700);
    testsupport::CopyProgramDir(testsupport::BuildProgramDir(), ProgramDir());
    WriteStandIn();
    QByteArray opener(kOpener);
    opener.replace("@RECORD@", RecordDir().toUtf8());
    for (const char* name : {"xdg-open", "x-www-browser", "sensible-browser", "gio", "kde-open", "gnome-open"})
        testsupport::WriteScript(Root() + QStringLiteral("/bin/") + QLatin1String(name), opener);
    // No quiet update check is due, so nothing leaves this machine; the window speaks English.
    SetStored(QStringLiteral("LastFUDate"), QString::number(QDate(1899, 12, 30).daysTo(QDate::currentDate())));
    SetStored(QStringLiteral("Language"), QStringLiteral("English"));
    SetToolSeconds(4);
}

DisplayProgram::~DisplayProgram()
{
    End();
}

bool DisplayProgram::Valid() const
{
    return m_tmp.isValid() && QFileInfo(ProgramDir() + QStringLiteral("/Ondrava")).isExecutable();
}

QString DisplayProgram::Work(const QString& name) const
{
    const QString work = Root() + QStringLiteral("/work");
    return name.isEmpty() ? work : work + QLatin1Char('/') + name;
}

void DisplayProgram::SetStored(const QString& key, const QString& value)
{
    QSettings store(Root() + QStringLiteral("/config/Zelt/Ondrava.conf"), QSettings::NativeFormat);
    store.setValue(key, value);
    store.sync();
}

void DisplayProgram::SetToolSeconds(double seconds)
{
    testsupport::WriteFile(RecordDir() + QStringLiteral("/steps"),
                           QByteArray::number(qMax(1, qRound(seconds * 5))) + '\n');
}

void DisplayProgram::WriteStandIn()
{
    QByteArray body(kStandIn);
    body.replace("@RECORD@", RecordDir().toUtf8());
    body.replace("@TOOL@", (ProgramDir() + QStringLiteral("/ffmpeg")).toUtf8());
    testsupport::WriteScript(ProgramDir() + QStringLiteral("/ffmpeg"), body);
}

void DisplayProgram::UseRealTool()
{
    const QString tool = ProgramDir() + QStringLiteral("/ffmpeg");
    QFile::remove(tool);
    QFile::link(testsupport::FfmpegPath(), tool);
}

bool DisplayProgram::Start(const QStringList& args)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), m_display.Name());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), Root() + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), DataHome());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), Root() + QStringLiteral("/runtime"));
    env.insert(QStringLiteral("HOME"), Root());
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("ONDRAVA_SITE_URL"), QStringLiteral("http://127.0.0.1:9"));
    // No session bus (and none started on demand): "show in folder" falls back to the opener.
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=") + Root() + QStringLiteral("/no-bus"));
    // The recorders stand first in the search path and are the browser.
    const QString bin = Root() + QStringLiteral("/bin");
    env.insert(QStringLiteral("PATH"), bin + QLatin1Char(':') + env.value(QStringLiteral("PATH")));
    env.insert(QStringLiteral("BROWSER"), bin + QStringLiteral("/x-www-browser"));
    env.insert(QStringLiteral("DEFAULT_BROWSER"), bin + QStringLiteral("/x-www-browser"));
    testsupport::RelaxSanitizerForDisplay(env);
    env.remove(QStringLiteral("XDG_CURRENT_DESKTOP"));
    env.remove(QStringLiteral("DESKTOP_SESSION"));
    m_process = std::make_unique<QProcess>();
    m_process->setProcessEnvironment(env);
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->setStandardOutputFile(Root() + QStringLiteral("/program.log"));
    m_process->setStandardInputFile(QProcess::nullDevice());
    m_process->setWorkingDirectory(Work());
    m_process->start(ProgramDir() + QStringLiteral("/Ondrava"), args);
    if (!m_process->waitForStarted(10000))
        return false;
    m_window = 0;
    WaitUntil(
        [this] {
            for (qulonglong w : m_display.VisibleWindows(Pid())) {
                const QRect g = m_display.Geometry(w);
                if (g.width() == kClientWidth && g.height() > kClientHeight) {
                    m_window = w;
                    m_geometry = g;
                    return true;
                }
            }
            return !Running();
        },
        60000);
    if (m_window == 0)
        return false;
    FocusMainWindow();
    return true;
}

bool DisplayProgram::Running() const
{
    if (!m_process)
        return false;
    // Without an event loop QProcess learns of the end only when asked to wait.
    if (m_process->state() == QProcess::Running)
        m_process->waitForFinished(0);
    return m_process->state() == QProcess::Running;
}

qint64 DisplayProgram::Pid() const
{
    return m_process ? m_process->processId() : 0;
}

bool DisplayProgram::WaitForEnd(int timeoutMs)
{
    return !m_process || m_process->state() == QProcess::NotRunning || m_process->waitForFinished(timeoutMs);
}

void DisplayProgram::End()
{
    if (Running()) {
        ::kill(pid_t(m_process->processId()), SIGKILL);
        m_process->waitForFinished(10000);
    }
}

QPoint DisplayProgram::ClientOrigin() const
{
    return QPoint(m_geometry.x(), m_geometry.y() + m_geometry.height() - kClientHeight);
}

QList<qulonglong> DisplayProgram::OtherWindows() const
{
    QList<qulonglong> others = m_display.VisibleWindows(Pid());
    others.removeAll(m_window);
    return others;
}

bool DisplayProgram::WaitForOtherWindow(int timeoutMs) const
{
    return WaitUntil([this] { return !OtherWindows().isEmpty(); }, timeoutMs);
}

bool DisplayProgram::WaitForNoOtherWindow(int timeoutMs) const
{
    return WaitUntil([this] { return OtherWindows().isEmpty(); }, timeoutMs);
}

QString DisplayProgram::Title() const
{
    return m_display.TextProperty(m_window, QStringLiteral("_NET_WM_NAME"));
}

QString DisplayProgram::WmName() const
{
    return m_display.TextProperty(m_window, QStringLiteral("WM_NAME"));
}

QImage DisplayProgram::ClientShot() const
{
    const QPoint o = ClientOrigin();
    return m_display.Screenshot().copy(QRect(o, QSize(kClientWidth, kClientHeight)));
}

QList<ToolCall> DisplayProgram::ToolCalls() const
{
    QList<ToolCall> calls;
    const QString text = QString::fromUtf8(testsupport::ReadFile(RecordDir() + QStringLiteral("/calls")));
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList words = line.split(QLatin1Char(' '));
        if (words.size() < 2)
            continue;
        const qint64 pid = words[0].toLongLong();
        if (words[1] == QLatin1String("end")) {
            for (ToolCall& c : calls)
                if (c.pid == pid)
                    c.ended = true;
            continue;
        }
        ToolCall call;
        call.pid = pid;
        call.conversion = words[1] == QLatin1String("convert");
        call.args = words.mid(2);
        calls << call;
    }
    return calls;
}

int DisplayProgram::Conversions() const
{
    int n = 0;
    for (const ToolCall& c : ToolCalls())
        n += c.conversion ? 1 : 0;
    return n;
}

QList<qint64> DisplayProgram::ToolsAlive() const
{
    QList<qint64> alive;
    const QString running = RecordDir() + QStringLiteral("/running/");
    const QByteArray tool = (ProgramDir() + QStringLiteral("/ffmpeg")).toUtf8();
    for (const QString& name : QDir(running).entryList(QDir::Files)) {
        const qint64 pid = name.toLongLong();
        // A killed stand-in leaves its id behind, and the id may be reused by another process.
        if (Alive(pid) && testsupport::ReadFile(QStringLiteral("/proc/%1/cmdline").arg(pid)).contains(tool))
            alive << pid;
        else
            QFile::remove(running + name);
    }
    return alive;
}

int DisplayProgram::MostToolsAtOnce() const
{
    int most = 0;
    const QByteArray text = testsupport::ReadFile(RecordDir() + QStringLiteral("/concurrency"));
    for (const QByteArray& line : text.split('\n'))
        most = qMax(most, line.trimmed().toInt());
    return most;
}

QStringList DisplayProgram::OpenerCalls() const
{
    return QString::fromUtf8(testsupport::ReadFile(RecordDir() + QStringLiteral("/opener")))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList DisplayProgram::ProgressFiles() const
{
    return QDir(DataHome() + QStringLiteral("/Ondrava"))
        .entryList({QStringLiteral("progress*.txt")}, QDir::Files);
}

}  // namespace realdisplay
