#include "platform/DesktopSound.h"

#include <QAudioDevice>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

#include <algorithm>

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

bool DesktopSoundPlayer::Playing() const
{
    // An ended sound is deleted later, which needs a running event loop: its state counts.
    const QList<QSoundEffect*> effects = m_playing.findChildren<QSoundEffect*>(Qt::FindDirectChildrenOnly);
    return std::any_of(effects.begin(), effects.end(), [](const QSoundEffect* effect) {
        return effect->isPlaying() || effect->status() == QSoundEffect::Loading;
    });
}

void DesktopSoundPlayer::FinishPlaying(int maxMs)
{
    if (!Playing())
        return;
    const QDeadlineTimer deadline(maxMs);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!Playing() || deadline.hasExpired())
            loop.quit();
    });
    poll.start(20);
    loop.exec();
}

}  // namespace ondrava
