#include "platform/Sound.h"

#include <QApplication>
#include <QSoundEffect>
#include <QUrl>

namespace parlino {
namespace {

class SoundEffectPlayer final : public Sound
{
public:
    SoundEffectPlayer()
    {
        // Loading is asynchronous: a file that turns out unplayable is only known once it has been read.
        QObject::connect(&effect_, &QSoundEffect::statusChanged, [this] {
            if (effect_.status() == QSoundEffect::Error)
                QApplication::beep();
        });
    }

    void PlayFile(const QString& path) override
    {
        const QUrl source = QUrl::fromLocalFile(path);
        if (effect_.source() == source && effect_.status() == QSoundEffect::Ready) {
            effect_.play();
            return;
        }
        effect_.stop();
        effect_.setSource(source);
        // Plays as soon as it is loaded.
        effect_.play();
    }

private:
    QSoundEffect effect_;
};

} // namespace
} // namespace parlino

extern "C" Q_DECL_EXPORT parlino::Sound* ParlinoCreateSound()
{
    return new parlino::SoundEffectPlayer();
}
