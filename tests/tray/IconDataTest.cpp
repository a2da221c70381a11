#include "TrayTestSupport.h"

#include <QString>

namespace parlino::test {
namespace {

using IconDataTest = TrayFixture;

TEST_F(IconDataTest, AddsWithTheFixedFieldsAndTheCurrentPicture)
{
    tray->SetHint(QStringLiteral("Parlino"));
    tray->SetIcon(still);

    ASSERT_TRUE(tray->IsAdded());
    ASSERT_EQ(area.CountOf(NotifyIconMessage::Add), 1);
    const NotifyIconData& data = *Shown();
    EXPECT_EQ(data.size, 88u);
    EXPECT_EQ(data.iconId, 0u);
    EXPECT_EQ(data.flags, 7u);
    EXPECT_EQ(data.callbackMessage, 0xB054u);
    EXPECT_TRUE(SameIcon(data.icon, still));
    EXPECT_EQ(data.tip, QStringLiteral("Parlino"));
}

TEST_F(IconDataTest, TipIsTheHintBeforeTheFirstBarCutTo63Characters)
{
    tray->SetIcon(still);

    tray->SetHint(QStringLiteral("Parlino|chat on the LAN|more"));
    EXPECT_EQ(Shown()->tip, QStringLiteral("Parlino"));

    const QString hundred(100, u'x');
    tray->SetHint(hundred);
    EXPECT_EQ(Shown()->tip, hundred.left(63));

    tray->SetHint(QStringLiteral("|after the bar"));
    EXPECT_TRUE(Shown()->tip.isEmpty());

    // A character of two UTF-16 units that would straddle the cut is left out whole.
    const QString straddling = QString(62, u'y') + QString::fromUtf8("\xF0\x9F\x92\xAC") + QStringLiteral("z");
    tray->SetHint(straddling);
    EXPECT_EQ(Shown()->tip, QString(62, u'y'));
}

TEST_F(IconDataTest, HintChangesOnlyWhenTheTextDiffersInAnyLetter)
{
    tray->SetHint(QStringLiteral("Parlino"));
    tray->SetIcon(still);
    area.ClearCalls();

    tray->SetHint(QStringLiteral("Parlino"));
    EXPECT_TRUE(area.Calls().empty());
    tray->SetHint(QStringLiteral("PARLINO"));
    EXPECT_EQ(area.CountOf(NotifyIconMessage::Modify), 1);
    EXPECT_EQ(Shown()->tip, QStringLiteral("PARLINO"));
}

TEST_F(IconDataTest, AnIconAddedWithoutTipIsChangedOnceRightAway)
{
    tray->SetIcon(still);

    ASSERT_EQ(area.Calls().size(), 3u);
    EXPECT_EQ(area.Calls()[0].message, NotifyIconMessage::Delete);
    EXPECT_EQ(area.Calls()[1].message, NotifyIconMessage::Add);
    EXPECT_EQ(area.Calls()[2].message, NotifyIconMessage::Modify);
    EXPECT_TRUE(area.Calls()[2].succeeded);
}

TEST_F(IconDataTest, NothingIsAddedWithoutAPictureUntilOneIsAssigned)
{
    tray->SetHint(QStringLiteral("Parlino"));
    tray->EndLoading();
    tray->SetIcon(QIcon());
    EXPECT_EQ(area.CountOf(NotifyIconMessage::Add), 0);
    EXPECT_FALSE(tray->IsAdded());

    tray->SetIcon(still);
    EXPECT_TRUE(tray->IsAdded());
    EXPECT_TRUE(ShownIs(still));

    // Taking the picture away takes the icon away.
    tray->SetIcon(QIcon());
    EXPECT_FALSE(tray->IsAdded());
    EXPECT_EQ(Shown(), nullptr);
}

TEST_F(IconDataTest, ARefusedAddLeavesTheIconAbsentUntilTheNextTry)
{
    area.RefuseAdds(true);
    tray->SetIcon(still);
    EXPECT_FALSE(tray->IsAdded());
    EXPECT_EQ(area.CountOf(NotifyIconMessage::Add), 1);

    area.RefuseAdds(false);
    tray->SetActive(false);
    tray->SetActive(true);
    EXPECT_TRUE(tray->IsAdded());
}

TEST_F(IconDataTest, ActiveAddsAndRemovesAndDestructionRemoves)
{
    tray->SetActive(false);
    tray->SetIcon(still);
    EXPECT_EQ(area.CountOf(NotifyIconMessage::Add), 0);

    tray->SetActive(true);
    EXPECT_TRUE(ShownIs(still));
    tray->SetActive(false);
    EXPECT_EQ(Shown(), nullptr);
    tray->SetActive(true);
    EXPECT_TRUE(ShownIs(still));

    tray.reset();
    EXPECT_EQ(Shown(), nullptr);
}

TEST_F(IconDataTest, WithoutANotificationAreaTheIconIsNeverAdded)
{
    area.SetAvailable(false);
    tray->SetIcon(still);
    EXPECT_FALSE(tray->IsAdded());
}

// Configured while loading, as its window builds it: one add when loading ends, nothing before.
TEST_F(IconDataTest, WhileLoadingNothingIsShownAndEndingItAddsTheIconOnce)
{
    tray->BeginLoading();
    tray->SetActive(false);
    tray->SetActive(true);
    tray->SetIcon(still);
    tray->Icons().Add(frameA);
    EXPECT_TRUE(area.Calls().empty());

    tray->EndLoading();
    EXPECT_EQ(area.CountOf(NotifyIconMessage::Add), 1);
    EXPECT_TRUE(ShownIs(still));
}

} // namespace
} // namespace parlino::test
