#include "TrayTestSupport.h"

#include <QCoreApplication>

#include <functional>

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

    // Moves the clock on once the animation threads wait, and waits until they have done what the new time
    // asks: a step they ask for is then on its way to the main thread.
    void Advance(uint32_t milliseconds, size_t threads = 1)
    {
        ASSERT_TRUE(clock.WaitForWaiters(threads));
        clock.Advance(milliseconds);
        ASSERT_TRUE(clock.WaitForWaiters(threads));
    }

    // The same, and the steps asked for are taken.
    void Pass(uint32_t milliseconds, size_t threads = 1)
    {
        Advance(milliseconds, threads);
        QCoreApplication::sendPostedEvents();
    }

    // The icon is taken away, what meanwhile does is done and an interval passes before it is back: nothing reaches
    // the notification area while it is absent.
    void WhileAbsent(const std::function<void()>& meanwhile)
    {
        tray->SetActive(false);
        area.ClearCalls();
        meanwhile();
        Pass(150);
        EXPECT_TRUE(area.Calls().empty());
        tray->SetActive(true);
    }
};

TEST_F(AnimationTest, AlternatesThePicturesEveryIntervalAndShowsTheStillPictureAtOnceWhenOff)
{
    tray->SetAnimated(true);
    EXPECT_TRUE(ShownIs(frameA));
    for (const QIcon& next : {frameB, frameA, frameB}) {
        // Never sooner than the interval.
        Pass(149);
        EXPECT_FALSE(ShownIs(next));
        Pass(1);
        EXPECT_TRUE(ShownIs(next));
    }

    tray->SetAnimated(false);
    EXPECT_TRUE(ShownIs(still));
    const int steps = Steps();
    Pass(1000, 0);
    EXPECT_EQ(Steps(), steps);
    EXPECT_TRUE(ShownIs(still));
}

TEST_F(AnimationTest, StepsStopWhileTheIconIsAbsentAndResumeWhenItIsBack)
{
    tray->SetAnimated(true);
    Pass(150);
    Pass(150);
    EXPECT_EQ(Steps(), 3);

    const QIcon shown = Shown()->icon;
    WhileAbsent([&] { EXPECT_EQ(Shown(), nullptr); });
    // Back with the picture it left with: no step was taken meanwhile.
    EXPECT_TRUE(ShownIs(shown));
    Pass(150);
    EXPECT_FALSE(ShownIs(shown));
}

TEST_F(AnimationTest, AnIconAnimatedWhileAbsentStartsSteppingWhenAdded)
{
    WhileAbsent([&] { tray->SetAnimated(true); });
    EXPECT_TRUE(ShownIs(frameA));
    Pass(150);
    EXPECT_TRUE(ShownIs(frameB));
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
    ASSERT_TRUE(clock.WaitForWaiters(1));
    tray->SetInterval(20);
    // The wait under way still runs its full three seconds; the later ones take 20 ms.
    Pass(2999);
    EXPECT_EQ(Steps(), 1);
    Pass(1);
    EXPECT_EQ(Steps(), 2);
    Pass(20);
    EXPECT_EQ(Steps(), 3);
}

TEST_F(AnimationTest, AnIntervalOfZeroTakesNoStepsUntilAnotherIsSet)
{
    tray->SetInterval(0);
    tray->SetAnimated(true);
    // The thread waits without a deadline instead of stepping without a pause.
    Pass(1000);
    EXPECT_EQ(Steps(), 1);
    tray->SetInterval(150);
    Pass(150);
    EXPECT_EQ(Steps(), 2);
}

TEST_F(AnimationTest, SwitchingOffNeverWaitsAndALateStepDoesNothing)
{
    // The clock stands still: a switch-off that waited for the interval would never return.
    tray->SetInterval(10000);
    for (int i = 0; i < 20; ++i) {
        tray->SetAnimated(true);
        tray->SetAnimated(false);
    }

    // A step asked for just before the switch-off arrives after it.
    tray->SetInterval(10);
    tray->SetAnimated(true);
    Advance(10);
    tray->SetAnimated(false);
    const int steps = Steps();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(Steps(), steps);
    EXPECT_TRUE(ShownIs(still));

    // The same, with the icon destroyed.
    tray->SetAnimated(true);
    Advance(10);
    tray.reset();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(Shown(), nullptr);
}

} // namespace
} // namespace parlino::test
