#include "platform/RunOnDesktop.h"

#include "platform/SleepInhibitor.h"
#include "platform/TaskbarProgress.h"

#include <algorithm>

namespace ondrava {

RunOnDesktop::RunOnDesktop(const QString& sourceFileName)
{
    CurrentSleepInhibitor().Inhibit(QStringLiteral("Converting ") + sourceFileName);
}

RunOnDesktop::~RunOnDesktop()
{
    CurrentSleepInhibitor().Release();
    CurrentTaskbarProgress().HideProgress();
}

void RunOnDesktop::ShowProgress(int percent)
{
    CurrentTaskbarProgress().SetProgress(std::clamp(percent, 0, 100) / 100.0);
}

}  // namespace ondrava
