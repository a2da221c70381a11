#include "TrayTestSupport.h"
#include "tests/support/Wait.h"

#include <QElapsedTimer>

namespace parlino::test {
namespace {

class AnimationTest : public TrayFixture
{
protected:
    void SetUp() override
    {
        tray->SetHint(QStringLiteral("Parlino"));
        tray->SetIcon(still);
        tray->Icons().BeginUpdate();
        tray->Icons().Add(frameA);
        tray->Icons().Add(frameB);
        tray->Icons().EndUpdate();
        area.ClearCalls();
    }

    int Steps() const { return area.CountOf(NotifyIconMessage::Modify); }
};

TEST_F(AnimationTest, AlternatesThePicturesEveryIntervalAndShowsTheStillPictureAtOnceWhenOff)
{
    QElapsedTimer elapsed;
    elapsed.start();
    tray->SetAnimated(true);
    EXPECT_TRUE(ShownIs(frameA));

    ASSERT_TRUE(WaitUntil([&] { return ShownIs(frameB); }));
    ASSERT_TRUE(WaitUntil([&] { return ShownIs(frameA); }));
    ASSERT_TRUE(WaitUntil([&] { return ShownIs(frameB); }));
    // Three steps of 150 ms each; never sooner.
    EXPECT_GE(elapsed.elapsed(), 3 * 150 - 5);

    tray->SetAnimated(false);
    EXPECT_TRUE(ShownIs(still));
    const int steps = Steps();
    SpinFor(400);
    EXPECT_EQ(Steps(), steps);
    EXPECT_TRUE(ShownIs(still));
}

TEST_F(AnimationTest, StepsStopWhileTheIconIsAbsentAndResumeWhenItIsBack)
{
    tray->SetAnimated(true);
    ASSERT_TRUE(WaitUntil([&] { return Steps() >= 2; }));

    tray->SetActive(false);
    EXPECT_EQ(Shown(), nullptr);
    area.ClearCalls();
    SpinFor(450);
    EXPECT_TRUE(area.Calls().empty());

    tray->SetActive(true);
    ASSERT_NE(Shown(), nullptr);
    const QIcon first = Shown()->icon;
    EXPECT_TRUE(WaitUntil([&] { return !SameIcon(Shown()->icon, first); }));
}

TEST_F(AnimationTest, AnIconAnimatedWhileAbsentStartsSteppingWhenAdded)
{
    tray->SetActive(false);
    area.ClearCalls();
    tray->SetAnimated(true);
    SpinFor(350);
    EXPECT_TRUE(area.Calls().empty());

    tray->SetActive(true);
    EXPECT_TRUE(ShownIs(frameA));
    EXPECT_TRUE(WaitUntil([&] { return ShownIs(frameB); }));
}

TEST_F(AnimationTest, NeedsPicturesAndStopsWhenTheyAreCleared)
{
    tray->Icons().Clear();
    tray->SetAnimated(true);
    EXPECT_FALSE(tray->Animated());

    tray->Icons().Add(frameA);
    tray->SetAnimated(true);
    EXPECT_TRUE(ShownIs(frameA));
    tray->Icons().Clear();
    EXPECT_FALSE(tray->Animated());
    EXPECT_TRUE(ShownIs(still));
}

TEST_F(AnimationTest, ANewIntervalAppliesFromTheNextWait)
{
    tray->SetInterval(3000);
    tray->SetAnimated(true);
    // Time for the animation thread to begin its wait, even on a loaded machine.
    SpinFor(500);
    tray->SetInterval(20);
    // The wait under way still runs its full three seconds; the later ones take 20 ms.
    SpinFor(1000);
    EXPECT_EQ(Steps(), 1);
    EXPECT_TRUE(WaitUntil([&] { return Steps() >= 6; }, 10000));
}

TEST_F(AnimationTest, SwitchingOffNeverWaitsAndALateThreadDoesNothing)
{
    tray->SetInterval(10000);
    for (int i = 0; i < 20; ++i) {
        tray->SetAnimated(true);
        tray->SetAnimated(false);
    }
    QElapsedTimer elapsed;
    elapsed.start();
    tray->SetAnimated(true);
    tray->SetAnimated(false);
    EXPECT_LT(elapsed.elapsed(), 5000) << "switching off waited for the interval";

    const int steps = Steps();
    SpinFor(300);
    EXPECT_EQ(Steps(), steps);

    // Destroyed while animated, with a step possibly on its way.
    tray->SetInterval(10);
    tray->SetAnimated(true);
    SpinFor(50);
    tray.reset();
    SpinFor(100);
    EXPECT_EQ(Shown(), nullptr);
}

} // namespace
} // namespace parlino::test
