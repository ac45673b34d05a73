#include "platform/SleepInhibitor.h"

namespace ondrava {

namespace {

SleepInhibitor*& InstalledInhibitor()
{
    static SleepInhibitor* inhibitor = nullptr;
    return inhibitor;
}

}  // namespace

SleepInhibitor& CurrentSleepInhibitor()
{
    static RecordingSleepInhibitor fallback;
    SleepInhibitor* inhibitor = InstalledInhibitor();
    return inhibitor ? *inhibitor : fallback;
}

void SetSleepInhibitor(SleepInhibitor* inhibitor) { InstalledInhibitor() = inhibitor; }

}  // namespace ondrava
