#include "platform/qt/QtSound.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibrary>

namespace parlino {

std::unique_ptr<Sound> LoadSoundEffectPlayer()
{
    using Create = Sound* (*)();
    const QString beside = QCoreApplication::applicationDirPath();
    const QString folders[] = {beside, beside + QStringLiteral("/" PARLINO_MODULE_RELATIVE_DIR),
                               QStringLiteral(PARLINO_MODULE_DIR)};
    for (const QString& folder : folders) {
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
    // The path may hold bytes of a file name that are not UTF-8: the player must open that file, never another.
    const QString name = names_.Of(path);
    if (!player_ || name.isEmpty() || !QFileInfo(name).isFile()) {
        QApplication::beep();
        return;
    }
    player_->PlayFile(name);
}

} // namespace parlino
