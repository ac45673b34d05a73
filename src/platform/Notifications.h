#pragma once
// Desktop notifications go through this interface, so that tests record them instead of
// showing them on the user's desktop.
#include <QString>

#include <vector>

namespace ondrava {

class Notifier {
public:
    virtual ~Notifier() = default;
    // Shows a short message outside the window and returns at once; failures are silent.
    virtual void Notify(const QString& summary, const QString& body) = 0;
};

// Keeps every notification it was asked to show.
class RecordingNotifier : public Notifier {
public:
    struct Call {
        QString summary;
        QString body;
    };
    std::vector<Call> calls;
    void Notify(const QString& summary, const QString& body) override;
};

// The notifier in force: by default a RecordingNotifier, so nothing reaches the desktop until
// the program entry installs the desktop notifier.
Notifier& CurrentNotifier();
// Not owned; nullptr restores the default.
void SetNotifier(Notifier* notifier);

}  // namespace ondrava
