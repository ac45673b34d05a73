// When the program started: the system's record of the process, read back and checked against
// the program's own first moment.
#include "platform/ProgramStart.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>

using namespace ondrava;
using namespace std::chrono;

namespace {

TEST(ProgramStartTest, StartTicksFromStatLines)
{
    const struct {
        const char* name;
        const char* line;
        std::optional<long long> ticks;
    } cases[] = {
        {"plain", "4242 (Ondrava) S 1 4242 4242 0 -1 4194304 900 0 0 0 5 2 0 0 20 0 3 0 123456 2000 300",
         123456},
        // A program may name itself anything: the fields count from the last parenthesis.
        {"name with blanks and parentheses",
         "77 (my (odd) name) x) R 1 77 77 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 987 1 2", 987},
        {"cut short", "1 (a) S 1 1 1 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0", std::nullopt},
        {"no name", "garbage without the name", std::nullopt},
        {"not a number", "1 (a) S 1 1 1 0 -1 0 0 0 0 0 0 0 0 0 20 0 1 0 12x 1", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(StartTicksFromStat(QByteArray(c.line)), c.ticks);
    }
}

TEST(ProgramStartTest, TheRecordIsBelievedOnlyWhenItFitsTheFirstMoment)
{
    const steady_clock::time_point first = steady_clock::now();
    const struct {
        const char* name;
        std::optional<steady_clock::time_point> recorded;
        steady_clock::time_point expected;
    } cases[] = {
        {"libraries loaded in 40 ms", first - milliseconds(40), first - milliseconds(40)},
        {"no record", std::nullopt, first},
        // Rounded up to its tick, the record of a quick start can fall after the first moment.
        {"record after the first moment", first + milliseconds(5), first},
        {"record of another clock", first - seconds(3600), first},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PlausibleStart(c.recorded, first), c.expected);
    }
}

TEST(ProgramStartTest, ThisProcessStartedBeforeItsTestsRan)
{
    // The record of this very process: before now, and within the test program's life.
    const steady_clock::time_point start = ProgramStartTime();
    EXPECT_LE(start, steady_clock::now());
    EXPECT_EQ(ProgramStartTime(), start);
}

}  // namespace
