#pragma once
// The moment this program started, for waits that count from start-up rather than from
// whenever the window got round to arming them.
#include <QByteArray>

#include <chrono>
#include <optional>

namespace ondrava {

// When the system started this process. The libraries load before any of the program's code
// runs (tens of milliseconds for the toolkit), so the program's own first moment is too late;
// the system's record is used where it is plausible, else that first moment.
std::chrono::steady_clock::time_point ProgramStartTime();

// The process's start in clock ticks since boot: the 22nd field of a /proc/<pid>/stat line.
// The second field, the program name in parentheses, may itself hold spaces and parentheses.
std::optional<long long> StartTicksFromStat(const QByteArray& statLine);

// The start to believe: the system's record (already a steady-clock moment, rounded up to its
// tick) when it lies before the program's first moment and not long before it; otherwise the
// first moment.
std::chrono::steady_clock::time_point PlausibleStart(std::optional<std::chrono::steady_clock::time_point> recorded,
                                                     std::chrono::steady_clock::time_point firstMoment);

}  // namespace ondrava
