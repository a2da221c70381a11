#include "platform/qt/sound/SoundEffectPlayer.h"

#include <QApplication>
#include <QUrl>

namespace parlino {

SoundEffectPlayer::SoundEffectPlayer(std::function<void()> beep) : beep_(std::move(beep))
{
    // Loading is asynchronous: a file that turns out unplayable is only known once it has been read.
    QObject::connect(&effect_, &QSoundEffect::statusChanged, [this] {
        if (effect_.status() == QSoundEffect::Error)
            beep_();
    });
}

void SoundEffectPlayer::PlayFile(const QString& path)
{
    const QUrl source = QUrl::fromLocalFile(path);
    if (effect_.source() == source) {
        switch (effect_.status()) {
        case QSoundEffect::Ready:
            // A new sound starts from the beginning, even while the last one still plays.
            effect_.stop();
            effect_.play();
            return;
        case QSoundEffect::Loading:
            return; // plays once loaded, as asked the first time
        case QSoundEffect::Null:
        case QSoundEffect::Error:
            // Known to be unplayable: setting the same source again would not load it again.
            beep_();
            return;
        }
    }
    effect_.stop();
    effect_.setSource(source);
    // Plays as soon as it is loaded.
    effect_.play();
}

} // namespace parlino

extern "C" Q_DECL_EXPORT parlino::Sound* ParlinoCreateSound()
{
    return new parlino::SoundEffectPlayer([] { QApplication::beep(); });
}
