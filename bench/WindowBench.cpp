// The real main window offscreen, timed:
//   startup <programDir> <runs>     time from starting a process to the window's first frame,
//                                   and the resident memory of the idle window
//   latency <programDir> <source> <format> <seconds>
//                                   a conversion through the window while events, a timer and
//                                   finally a click on Stop arrive; when each was handled
//   probe <programDir> <source> <format>
//                                   a conversion whose duration probe takes long (a stand-in
//                                   tool in programDir): the longest gap between two handled
//                                   ticks of a 1 ms timer while the probe runs
// Every figure goes to standard output as name=value lines for bench/run-bench.sh.
#include "platform/DesktopShell.h"
#include "platform/DesktopSound.h"
#include "platform/Shell.h"
#include "platform/Sound.h"
#include "window/MainF.h"
#include "window/MainWindowView.h"
#include "window/QtFormServices.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace ondrava;

namespace {

qint64 NowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

double Ms(qint64 ns)
{
    return double(ns) / 1e6;
}

long RssKib()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

double ThreadCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 + usage.ru_stime.tv_sec * 1e3 +
           usage.ru_stime.tv_usec / 1e3;
}

struct Stats {
    double median = 0, p90 = 0, max = 0;
    size_t count = 0;
};

Stats Summarise(std::vector<double> v)
{
    Stats s;
    s.count = v.size();
    if (v.empty())
        return s;
    std::sort(v.begin(), v.end());
    s.median = v[v.size() / 2];
    s.p90 = v[std::min(v.size() - 1, v.size() * 9 / 10)];
    s.max = v.back();
    return s;
}

// A box that would wait for a click offscreen is printed instead.
class BenchServices : public QtFormServices {
public:
    void ShowMessage(const QString& text) override { Report("message", text); }
    void ShowInformation(const QString& text) override { Report("information", text); }
    void ShowError(const QString& text) override { Report("error", text); }
    bool AskYesNo(const QString& text) override
    {
        Report("question", text);
        return false;
    }

private:
    static void Report(const char* kind, const QString& text)
    {
        std::fprintf(stderr, "window %s: %s\n", kind, qPrintable(text));
    }
};

// The program's own desktop services, as its entry installs them.
struct Desktop {
    DesktopShell shell;
    DesktopSoundPlayer sound;
    Desktop()
    {
        SetShell(&shell);
        SetSoundPlayer(&sound);
    }
    ~Desktop()
    {
        SetSoundPlayer(nullptr);
        SetShell(nullptr);
    }
};

// ---- start-up ----

// The child: the program entry's steps, then the first frame and the idle window's memory.
int StartupChild(int argc, char** argv, const QString& programDir)
{
    const qint64 mainNs = NowNs();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ondrava"));
    Desktop desktop;
    const qint64 appNs = NowNs();

    BenchServices services;
    TMainForm form(services);
    form.ProgramDir = programDir;
    form.FormCreate();
    if (!QFileInfo(form.SourceFilenameEdit.Text()).isFile())
        form.SourceFilenameEditChange(&form.SourceFilenameEdit);
    const qint64 createdNs = NowNs();

    MainWindowView window(form);
    services.SetWindow(&window);
    const qint64 builtNs = NowNs();

    // The first paint of the window starts its first frame; the next turn of the event loop
    // comes once that frame has been painted and flushed.
    qint64 firstPaintNs = 0;
    qint64 frameNs = 0;
    struct PaintWatch : QObject {
        std::function<void()> onPaint;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint && onPaint) {
                auto f = std::move(onPaint);
                onPaint = nullptr;
                f();
            }
            return false;
        }
    } watch;
    watch.onPaint = [&] {
        firstPaintNs = NowNs();
        QTimer::singleShot(0, [&] {
            frameNs = NowNs();
            // The idle window settles (deferred device pictures, menus) before its memory counts.
            QTimer::singleShot(1000, [&] {
                std::printf("main_ns=%lld\napp_ns=%lld\ncreated_ns=%lld\nbuilt_ns=%lld\n"
                            "first_paint_ns=%lld\nframe_ns=%lld\nidle_rss_kib=%ld\n",
                            mainNs, appNs, createdNs, builtNs, firstPaintNs, frameNs, RssKib());
                std::fflush(stdout);
                window.close();
            });
        });
    };
    app.installEventFilter(&watch);
    window.show();
    const int result = app.exec();
    services.SetWindow(nullptr);
    form.FormClose();
    return result;
}

// Reads every name=value line of a child's output.
std::vector<std::pair<std::string, long long>> ReadValues(int fd)
{
    std::string text;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0)
        text.append(buf, size_t(n));
    std::vector<std::pair<std::string, long long>> values;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t end = std::min(text.find('\n', pos), text.size());
        const std::string line = text.substr(pos, end - pos);
        const size_t eq = line.find('=');
        if (eq != std::string::npos)
            values.emplace_back(line.substr(0, eq), std::atoll(line.c_str() + eq + 1));
        pos = end + 1;
    }
    return values;
}

long long ValueOf(const std::vector<std::pair<std::string, long long>>& values, const char* name)
{
    for (const auto& [k, v] : values) {
        if (k == name)
            return v;
    }
    return -1;
}

int Startup(const char* self, const char* programDir, int runs)
{
    std::vector<double> toWindow, toMain, toCreated, toBuilt, toPaint, rss;
    for (int i = 0; i < runs; ++i) {
        int fds[2];
        if (::pipe(fds) != 0)
            return 2;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        char* childArgs[] = {const_cast<char*>(self), const_cast<char*>("startup-child"),
                             const_cast<char*>(programDir), nullptr};
        pid_t pid = 0;
        const qint64 startNs = NowNs();
        const int spawned = posix_spawn(&pid, self, &actions, nullptr, childArgs, environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        if (spawned != 0) {
            ::close(fds[0]);
            return 2;
        }
        const auto values = ReadValues(fds[0]);
        ::close(fds[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        const long long frame = ValueOf(values, "frame_ns");
        if (frame <= 0) {
            std::fprintf(stderr, "start-up run %d gave no frame\n", i + 1);
            return 1;
        }
        toMain.push_back(Ms(ValueOf(values, "main_ns") - startNs));
        toCreated.push_back(Ms(ValueOf(values, "created_ns") - startNs));
        toBuilt.push_back(Ms(ValueOf(values, "built_ns") - startNs));
        toPaint.push_back(Ms(ValueOf(values, "first_paint_ns") - startNs));
        toWindow.push_back(Ms(frame - startNs));
        rss.push_back(double(ValueOf(values, "idle_rss_kib")));
    }
    std::printf("startup_runs=%d\n", runs);
    std::printf("startup_to_main_ms=%.1f\n", Summarise(toMain).median);
    std::printf("startup_to_formcreate_done_ms=%.1f\n", Summarise(toCreated).median);
    std::printf("startup_to_view_built_ms=%.1f\n", Summarise(toBuilt).median);
    std::printf("startup_to_first_paint_ms=%.1f\n", Summarise(toPaint).median);
    const Stats w = Summarise(toWindow);
    std::printf("startup_to_window_ms=%.1f\nstartup_to_window_max_ms=%.1f\n", w.median, w.max);
    std::printf("idle_rss_kib=%.0f\n", Summarise(rss).median);
    return 0;
}

// ---- responsiveness during a run ----

struct ProbeEvent : QEvent {
    static const QEvent::Type kType;
    qint64 postedNs;
    explicit ProbeEvent(qint64 posted) : QEvent(kType), postedNs(posted) {}
};
const QEvent::Type ProbeEvent::kType = QEvent::Type(QEvent::registerEventType());

struct Probe : QObject {
    std::vector<double> latenciesMs;
    void customEvent(QEvent* e) override
    {
        if (e->type() == ProbeEvent::kType)
            latenciesMs.push_back(Ms(NowNs() - static_cast<ProbeEvent*>(e)->postedNs));
    }
};

int Latency(int argc, char** argv, const QString& programDir, const QString& source,
            const QString& format, double seconds)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ondrava"));
    Desktop desktop;
    QTemporaryDir outDir(QDir::tempPath() + QStringLiteral("/ondrava-bench-XXXXXX"));

    BenchServices services;
    TMainForm form(services);
    form.ProgramDir = programDir;
    form.Arguments = {QStringLiteral("-inName=") + source, QStringLiteral("-format=") + format};
    form.FormCreate();
    const QString output = outDir.path() + QStringLiteral("/latency.") + format.toLower();
    form.OutVideoFileBEdit.SetText(output);
    MainWindowView window(form);
    services.SetWindow(&window);
    window.show();

    auto* stopButton = qobject_cast<QPushButton*>(window.WidgetOf(form.StopConvBitBtn));
    if (!stopButton) {
        std::fprintf(stderr, "no Stop button\n");
        return 2;
    }

    Probe probe;
    std::atomic<bool> running{false};
    std::atomic<bool> finished{false};
    std::atomic<qint64> clickPostedNs{0};
    qint64 runStartNs = 0, clickHandledNs = 0, runEndNs = 0;
    double cpuAtStartMs = 0, cpuAtEndMs = 0;

    // A timer that should tick every 50 ms; how late each tick comes.
    constexpr int kTickMs = 50;
    std::vector<double> timerLateMs;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(kTickMs);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (!running && form.StopConvBitBtn.Enabled()) {
            // The first turn of the event loop inside the run: the tool is running now.
            running = true;
            runStartNs = NowNs();
            cpuAtStartMs = ThreadCpuMs();
        } else if (running && !finished) {
            timerLateMs.push_back(std::max(0.0, double(sinceTick.nsecsElapsed()) / 1e6 - kTickMs));
        }
        sinceTick.restart();
    });

    QObject::connect(stopButton, &QPushButton::clicked, [&] {
        if (!clickHandledNs)
            clickHandledNs = NowNs();
    });

    // The user's click, made here where the widget lives, posted later from the other thread
    // as the window system would deliver it.
    const QPointF centre(stopButton->width() / 2.0, stopButton->height() / 2.0);
    const QPointF global = stopButton->mapToGlobal(centre);
    auto* press = new QMouseEvent(QEvent::MouseButtonPress, centre, global, Qt::LeftButton,
                                  Qt::LeftButton, Qt::NoModifier);
    auto* release = new QMouseEvent(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton,
                                    Qt::NoButton, Qt::NoModifier);

    std::thread poster([&] {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> gapMs(20, 130);
        while (!running && !finished)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const qint64 until = NowNs() + qint64(seconds * 1e9);
        while (!finished && NowNs() < until) {
            QCoreApplication::postEvent(&probe, new ProbeEvent(NowNs()));
            std::this_thread::sleep_for(std::chrono::milliseconds(gapMs(random)));
        }
        if (finished) {
            delete press;
            delete release;
            return;
        }
        clickPostedNs = NowNs();
        QCoreApplication::postEvent(stopButton, press);
        QCoreApplication::postEvent(stopButton, release);
    });

    QTimer::singleShot(0, [&] {
        sinceTick.start();
        ticker.start();
        form.ConvertBitBtnClick(&form.ConvertBitBtn);
        runEndNs = NowNs();
        cpuAtEndMs = ThreadCpuMs();
        finished = true;
        ticker.stop();
        window.close();
    });
    const int result = app.exec();
    poster.join();
    services.SetWindow(nullptr);
    form.FormClose();

    if (!runStartNs) {
        std::fprintf(stderr, "the conversion never ran: %s\n", qPrintable(form.InfoLabel.Caption()));
        return 1;
    }
    const Stats events = Summarise(probe.latenciesMs);
    const Stats ticks = Summarise(timerLateMs);
    std::printf("run_ms=%.0f\n", Ms(runEndNs - runStartNs));
    std::printf("run_main_thread_cpu_ms=%.1f\n", cpuAtEndMs - cpuAtStartMs);
    std::printf("event_count=%zu\nevent_latency_median_ms=%.1f\nevent_latency_p90_ms=%.1f\n"
                "event_latency_max_ms=%.1f\n",
                events.count, events.median, events.p90, events.max);
    std::printf("timer_ticks=%zu\ntimer_late_median_ms=%.1f\ntimer_late_max_ms=%.1f\n", ticks.count,
                ticks.median, ticks.max);
    if (clickPostedNs && clickHandledNs) {
        std::printf("stop_click_to_handler_ms=%.1f\nstop_click_to_run_end_ms=%.1f\n",
                    Ms(clickHandledNs - clickPostedNs), Ms(runEndNs - clickPostedNs));
        std::printf("status_after_stop=%s\n", qPrintable(form.InfoLabel.Caption()));
    } else {
        std::printf("stop_click=not measured (the conversion ended first)\n");
    }
    return result;
}

// ---- the window during the duration probe ----

int ProbeGap(int argc, char** argv, const QString& programDir, const QString& source, const QString& format)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ondrava"));
    Desktop desktop;
    QTemporaryDir outDir(QDir::tempPath() + QStringLiteral("/ondrava-bench-XXXXXX"));

    BenchServices services;
    TMainForm form(services);
    form.ProgramDir = programDir;
    form.Arguments = {QStringLiteral("-inName=") + source, QStringLiteral("-format=") + format};
    form.FormCreate();
    form.OutVideoFileBEdit.SetText(outDir.path() + QStringLiteral("/probe.") + format.toLower());
    MainWindowView window(form);
    services.SetWindow(&window);
    window.show();

    // The progress file is named once the probe is over.
    form.ProgressFileName.clear();
    std::vector<qint64> ticks;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (form.StopConvBitBtn.Enabled() && form.ProgressFileName.isEmpty())
            ticks.push_back(NowNs());
    });
    qint64 startNs = 0, endNs = 0;
    QTimer::singleShot(0, [&] {
        ticker.start();
        startNs = NowNs();
        form.ConvertBitBtnClick(&form.ConvertBitBtn);
        endNs = NowNs();
        ticker.stop();
        window.close();
    });
    const int result = app.exec();
    services.SetWindow(nullptr);
    form.FormClose();

    double maxGap = 0;
    qint64 previous = startNs;
    for (qint64 t : ticks) {
        maxGap = std::max(maxGap, Ms(t - previous));
        previous = t;
    }
    std::printf("probe_ticks=%zu\nprobe_phase_ms=%.0f\nprobe_max_gap_ms=%.1f\nrun_ms=%.0f\n"
                "probe_duration_ms=%lld\n",
                ticks.size(), ticks.empty() ? 0.0 : Ms(ticks.back() - startNs), ticks.empty() ? Ms(endNs - startNs) : maxGap,
                Ms(endNs - startNs), static_cast<long long>(form.TotalContentDuration));
    std::printf("status=%s\n", qPrintable(form.InfoLabel.Caption()));
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "startup" && argc == 4) {
        char self[4096] = {};
        if (::readlink("/proc/self/exe", self, sizeof self - 1) <= 0)
            return 2;
        return Startup(self, argv[2], std::max(1, std::atoi(argv[3])));
    }
    if (mode == "startup-child" && argc == 3)
        return StartupChild(argc, argv, QString::fromLocal8Bit(argv[2]));
    if (mode == "latency" && argc == 6)
        return Latency(argc, argv, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                       QString::fromLocal8Bit(argv[4]), std::atof(argv[5]));
    if (mode == "probe" && argc == 5)
        return ProbeGap(argc, argv, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                        QString::fromLocal8Bit(argv[4]));
    std::fprintf(stderr,
                 "usage: %s startup <programDir> <runs>\n"
                 "       %s latency <programDir> <source> <format> <seconds>\n"
                 "       %s probe <programDir> <source> <format>\n",
                 argv[0], argv[0], argv[0]);
    return 2;
}
