#include "platform/ProgramStart.h"

#include <QFile>
#include <QList>

#include <ctime>
#include <unistd.h>

namespace ondrava {

namespace {

using Clock = std::chrono::steady_clock;

// Taken while the program's globals are made: after the libraries, before main.
const Clock::time_point g_firstMoment = Clock::now();

// Loading the libraries takes milliseconds; a record older than this is of another clock.
constexpr std::chrono::seconds kLongestLoad{2};

std::optional<Clock::time_point> RecordedStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return std::nullopt;
    const std::optional<long long> ticks = StartTicksFromStat(stat.readAll());
    const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    timespec sinceBoot{};
    if (!ticks || ticksPerSecond <= 0 || ::clock_gettime(CLOCK_BOOTTIME, &sinceBoot) != 0)
        return std::nullopt;
    using std::chrono::nanoseconds;
    const nanoseconds now = std::chrono::seconds(sinceBoot.tv_sec) + nanoseconds(sinceBoot.tv_nsec);
    // The record is cut down to whole ticks: the start lies within the tick after it. The end
    // of that tick is taken, so the wait never comes short of its length.
    const nanoseconds started = nanoseconds((*ticks + 1) * 1'000'000'000LL / ticksPerSecond);
    return Clock::now() - std::chrono::duration_cast<Clock::duration>(now - started);
}

}  // namespace

std::optional<long long> StartTicksFromStat(const QByteArray& statLine)
{
    const qsizetype nameEnd = statLine.lastIndexOf(')');
    if (nameEnd < 0)
        return std::nullopt;
    // After the name come the fields from the third on.
    const QList<QByteArray> fields = statLine.mid(nameEnd + 1).simplified().split(' ');
    constexpr qsizetype kStartTimeIndex = 22 - 3;
    if (fields.size() <= kStartTimeIndex)
        return std::nullopt;
    bool ok = false;
    const long long ticks = fields[kStartTimeIndex].toLongLong(&ok);
    if (!ok || ticks < 0)
        return std::nullopt;
    return ticks;
}

Clock::time_point PlausibleStart(std::optional<Clock::time_point> recorded, Clock::time_point firstMoment)
{
    if (!recorded || *recorded > firstMoment || firstMoment - *recorded > kLongestLoad)
        return firstMoment;
    return *recorded;
}

std::chrono::steady_clock::time_point ProgramStartTime()
{
    // Read once: each reading converts between two clocks and would differ by a little.
    static const Clock::time_point start = PlausibleStart(RecordedStart(), g_firstMoment);
    return start;
}

}  // namespace ondrava
