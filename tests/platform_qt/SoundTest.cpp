#include "platform/qt/QtSound.h"
#include "platform/qt/sound/SoundEffectPlayer.h"
#include "tests/support/Files.h"
#include "tests/support/Wait.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace parlino {
namespace {

// The player lives in a module of its own; the program must find it beside itself and create it.
TEST(SoundModuleTest, PlayerLoadsFromBesideTheProgram)
{
    EXPECT_NE(LoadSoundEffectPlayer(), nullptr);
}

TEST(SoundModuleTest, AFileThatCannotBePlayedBeepsEveryTime)
{
    QTemporaryDir folder;
    const QString notWav = folder.filePath(QStringLiteral("ring.wav"));
    ASSERT_TRUE(test::WriteWholeFile(notWav, "not a sound at all"));

    int beeps = 0;
    SoundEffectPlayer player([&] { ++beeps; });
    player.PlayFile(notWav);
    ASSERT_TRUE(test::WaitUntil([&] { return beeps == 1; }));
    player.PlayFile(notWav);
    player.PlayFile(notWav);
    EXPECT_EQ(beeps, 3);
}

} // namespace
} // namespace parlino
