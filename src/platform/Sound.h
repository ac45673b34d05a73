#pragma once
// Sounds go through this interface, so that tests record them instead of playing them.
// Header-only on purpose: the shared helpers below the platform layer play sounds through it.
#include <QString>
#include <QStringList>

namespace ondrava {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts playing a wave file and returns at once; failures are silent.
    virtual void Play(const QString& wavFile) = 0;
};

// Keeps the names of the files it was asked to play.
class RecordingSoundPlayer : public SoundPlayer {
public:
    QStringList played;
    void Play(const QString& wavFile) override { played.append(wavFile); }
};

namespace detail {
inline SoundPlayer*& SoundPlayerSlot()
{
    static SoundPlayer* player = nullptr;
    return player;
}
}  // namespace detail

// The player in force; nullptr (silence) until one is installed.
inline SoundPlayer* CurrentSoundPlayer() { return detail::SoundPlayerSlot(); }
// Not owned; nullptr restores silence.
inline void SetSoundPlayer(SoundPlayer* player) { detail::SoundPlayerSlot() = player; }

}  // namespace ondrava
