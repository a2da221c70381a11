#include "platform/qt/QtSound.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibrary>

namespace parlino {

std::unique_ptr<Sound> LoadSoundEffectPlayer()
{
    using Create = Sound* (*)();
    const QString beside = QCoreApplication::applicationDirPath();
    for (const QString& folder :
         {beside, beside + QStringLiteral("/" PARLINO_MODULE_RELATIVE_DIR), QStringLiteral(PARLINO_MODULE_DIR)}) {
        // Never unloaded: the player's code must outlive it.
        QLibrary module(folder + QStringLiteral("/parlino_sound"));
        if (const auto create = reinterpret_cast<Create>(module.resolve("ParlinoCreateSound")))
            return std::unique_ptr<Sound>(create());
    }
    return nullptr;
}

void QtSound::PlayFile(const QString& path)
{
    if (!loadTried_) {
        loadTried_ = true;
        player_ = LoadSoundEffectPlayer();
    }
    if (!player_ || !QFileInfo(path).isFile()) {
        QApplication::beep();
        return;
    }
    player_->PlayFile(path);
}

} // namespace parlino
