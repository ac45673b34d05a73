#pragma once
// The line to the calling download manager while it runs: whether it is there to hear, and the
// announcement that its conversion is done. Tests record the calls instead of using a bus.
#include <QString>
#include <QStringList>

#include <vector>

namespace ondrava {

class CallerLink {
public:
    virtual ~CallerLink() = default;
    // Whether the calling program of this name ("Parvel", "Tessly") runs and listens; false
    // where that cannot be known.
    virtual bool IsRunning(const QString& appName) = 0;
    // Announces that the conversion for this download identifier is done; returns at once,
    // without waiting for anyone to hear it.
    virtual void AnnounceConversionComplete(int downloadId) = 0;
};

// Answers from a list of running programs and keeps every announcement.
class RecordingCallerLink : public CallerLink {
public:
    QStringList running;
    QStringList asked;            // the names IsRunning was asked about, in order
    std::vector<int> announced;   // the identifiers announced, in order
    bool IsRunning(const QString& appName) override;
    void AnnounceConversionComplete(int downloadId) override;
};

// The link in force: by default a RecordingCallerLink with nothing running, so that nothing
// leaves the process until the program entry installs the desktop's.
CallerLink& CurrentCallerLink();
// Not owned; nullptr restores the default.
void SetCallerLink(CallerLink* link);

}  // namespace ondrava
