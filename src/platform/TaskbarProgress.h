#pragma once
// The program's entry on the taskbar or dock: a run's progress and a call for attention.
// Tests record the calls instead of reaching the desktop.
#include <QString>

#include <vector>

namespace ondrava {

class TaskbarProgress {
public:
    virtual ~TaskbarProgress() = default;
    // Shows the progress, 0 to 1 (values outside are brought within).
    virtual void SetProgress(double fraction) = 0;
    virtual void HideProgress() = 0;
    // Asks for the user's attention (true) or withdraws that request (false).
    virtual void SetUrgent(bool urgent) = 0;
};

// Keeps every call: kind is "progress" (value: the fraction), "hide" or "urgent" (value 1 or 0).
class RecordingTaskbarProgress : public TaskbarProgress {
public:
    struct Call {
        QString kind;
        double value = 0;
    };
    std::vector<Call> calls;
    void SetProgress(double fraction) override;
    void HideProgress() override;
    void SetUrgent(bool urgent) override;
};

// The taskbar in force: by default a RecordingTaskbarProgress, until the program entry
// installs the desktop's.
TaskbarProgress& CurrentTaskbarProgress();
// Not owned; nullptr restores the default.
void SetTaskbarProgress(TaskbarProgress* taskbar);

}  // namespace ondrava
