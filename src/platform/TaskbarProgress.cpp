#include "platform/TaskbarProgress.h"

namespace ondrava {

void RecordingTaskbarProgress::SetProgress(double fraction)
{
    calls.push_back({QStringLiteral("progress"), fraction});
}

void RecordingTaskbarProgress::HideProgress() { calls.push_back({QStringLiteral("hide"), 0}); }

void RecordingTaskbarProgress::SetUrgent(bool urgent)
{
    calls.push_back({QStringLiteral("urgent"), urgent ? 1.0 : 0.0});
}

namespace {

TaskbarProgress*& InstalledTaskbar()
{
    static TaskbarProgress* taskbar = nullptr;
    return taskbar;
}

}  // namespace

TaskbarProgress& CurrentTaskbarProgress()
{
    static RecordingTaskbarProgress fallback;
    TaskbarProgress* taskbar = InstalledTaskbar();
    return taskbar ? *taskbar : fallback;
}

void SetTaskbarProgress(TaskbarProgress* taskbar) { InstalledTaskbar() = taskbar; }

}  // namespace ondrava
