#pragma once
// One conversion run as the desktop sees it while the tool works: the computer stays awake
// ("Converting <file name>"). Its end, however the run ends, lets the computer sleep again and
// takes the progress off the taskbar.
#include <QString>

namespace ondrava {

class RunOnDesktop {
public:
    explicit RunOnDesktop(const QString& sourceFileName);
    ~RunOnDesktop();
    RunOnDesktop(const RunOnDesktop&) = delete;
    RunOnDesktop& operator=(const RunOnDesktop&) = delete;

    // A progress reading in percent (the bar's position) for the taskbar.
    static void ShowProgress(int percent);
};

}  // namespace ondrava
