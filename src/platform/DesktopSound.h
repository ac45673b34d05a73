#pragma once
// Plays the program's wave files on the default audio output, without waiting.
#include "platform/Sound.h"

#include <QObject>

namespace ondrava {

class DesktopSoundPlayer : public SoundPlayer {
public:
    DesktopSoundPlayer();
    ~DesktopSoundPlayer() override;
    // Returns at once; silent when the file is missing or no audio output exists.
    void Play(const QString& wavFile) override;
    // Whether a sound is still loading or playing.
    bool Playing() const;
    // Lets the sounds still playing end, at most maxMs, with events handled: a window that
    // closes right after its run (automatic mode) would otherwise cut its own sound.
    void FinishPlaying(int maxMs);

private:
    // Parent of the sounds still playing; each removes itself when it ends.
    QObject m_playing;
};

}  // namespace ondrava
