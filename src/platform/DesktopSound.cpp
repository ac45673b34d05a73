#include "platform/DesktopSound.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace ondrava {

DesktopSoundPlayer::DesktopSoundPlayer() = default;
DesktopSoundPlayer::~DesktopSoundPlayer() = default;

void DesktopSoundPlayer::Play(const QString& wavFile)
{
    if (!QFileInfo(wavFile).isFile())
        return;
    // Without an output the effect would only complain on every call.
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return;
    auto* effect = new QSoundEffect(device, &m_playing);
    QObject::connect(effect, &QSoundEffect::playingChanged, effect, [effect] {
        if (!effect->isPlaying() && effect->status() != QSoundEffect::Loading)
            effect->deleteLater();
    });
    QObject::connect(effect, &QSoundEffect::statusChanged, effect, [effect] {
        if (effect->status() == QSoundEffect::Error)
            effect->deleteLater();
    });
    effect->setSource(QUrl::fromLocalFile(QFileInfo(wavFile).absoluteFilePath()));
    effect->play();
}

}  // namespace ondrava
