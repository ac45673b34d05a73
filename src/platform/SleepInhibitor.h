#pragma once
// Keeps the computer awake while a conversion runs. Tests record the calls instead.
#include <QString>
#include <QStringList>

namespace ondrava {

class SleepInhibitor {
public:
    virtual ~SleepInhibitor() = default;
    // Asks the system not to sleep, giving why (shown to the user who tries); returns at once.
    // A second call while held changes nothing.
    virtual void Inhibit(const QString& why) = 0;
    // Lets the system sleep again; nothing happens when nothing is held.
    virtual void Release() = 0;
};

// Keeps the calls: "inhibit:<why>" and "release".
class RecordingSleepInhibitor : public SleepInhibitor {
public:
    QStringList calls;
    void Inhibit(const QString& why) override { calls << QStringLiteral("inhibit:") + why; }
    void Release() override { calls << QStringLiteral("release"); }
};

// The inhibitor in force: by default a RecordingSleepInhibitor, until the program entry installs
// the desktop's.
SleepInhibitor& CurrentSleepInhibitor();
// Not owned; nullptr restores the default.
void SetSleepInhibitor(SleepInhibitor* inhibitor);

}  // namespace ondrava
