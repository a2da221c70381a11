#include "platform/Sound.h"

#include <QApplication>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace parlino {

QtSound::QtSound() : effect_(std::make_unique<QSoundEffect>())
{
    // Loading is asynchronous: a file that turns out unplayable is only known once it has been read.
    QObject::connect(effect_.get(), &QSoundEffect::statusChanged, [effect = effect_.get()] {
        if (effect->status() == QSoundEffect::Error)
            QApplication::beep();
    });
}

QtSound::~QtSound() = default;

void QtSound::PlayFile(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        QApplication::beep();
        return;
    }
    const QUrl source = QUrl::fromLocalFile(path);
    if (effect_->source() == source && effect_->status() == QSoundEffect::Ready) {
        effect_->play();
        return;
    }
    effect_->stop();
    effect_->setSource(source);
    // Plays as soon as it is loaded.
    effect_->play();
}

} // namespace parlino
