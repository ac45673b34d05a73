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

private:
    // Parent of the sounds still playing; each removes itself when it ends.
    QObject m_playing;
};

}  // namespace ondrava
