// The frame control: which frame a position shows, turning it with the mouse (detent,
// fine mode, either direction), and two-frame strips as push buttons and toggles.

#include "controls/ImgControl.h"

#include "ImgControlFixtures.h"
#include "controls/FrameImage.h"
#include "controls/MovingHint.h"

#include <gtest/gtest.h>

namespace {

class ImgControlTest : public ::testing::Test {
protected:
    ImgControlTest()
    {
        knob.SetSeparatorSize(1);
        knob.SetCount(54);
        knob.SetBitmap(MakeStrip(54, 30, 30, 1));
        control.SetFrameImage(&knob);
        control.MiddlePos = 50;
    }
    // A vertical drag from y 100 over the given moves (positive: upwards), then release.
    void dragUp(std::initializer_list<int> steps, Qt::KeyboardModifiers m = {})
    {
        int y = 100;
        Press(&control, {5, y});
        for (int s : steps)
            Move(&control, {5, y -= s}, m);
        Release(&control, {5, y});
    }

    TFrameImage knob;
    TImgControl control;
};

TEST_F(ImgControlTest, FrameFromPosition)
{
    EXPECT_EQ(control.FrameIndex(), 0);
    control.SetPosition(50);
    EXPECT_EQ(control.FrameIndex(), 26);
    control.SetPosition(100);
    EXPECT_EQ(control.FrameIndex(), 53);
    control.SetPosition(1000);
    EXPECT_EQ(control.Position(), 100);
    control.SetPosition(-5);
    EXPECT_EQ(control.Position(), 0);

    // Any range: its lowest value is frame 0, its highest the last frame.
    control.SetMin(-1000);
    control.SetMax(-900);
    EXPECT_EQ(control.Position(), -900);
    EXPECT_EQ(control.FrameIndex(), 53);
    control.SetMin(INT32_MIN);
    control.SetMax(INT32_MAX);
    control.SetPosition(INT32_MIN);
    EXPECT_EQ(control.FrameIndex(), 0);
    control.SetPosition(INT32_MAX);
    EXPECT_EQ(control.FrameIndex(), 53);
    // A maximum below the minimum is raised to it.
    control.SetMin(10);
    control.SetMax(5);
    EXPECT_EQ(control.Max(), 10);
    EXPECT_EQ(control.FrameIndex(), 0);
}

TEST_F(ImgControlTest, PositionChangesNotifyOnlyOnRealChanges)
{
    int changes = 0;
    control.OnChange = [&] { ++changes; };
    control.SetPosition(0);
    control.SetPosition(40);
    control.SetPosition(40);
    control.SetPosition(400);
    EXPECT_EQ(changes, 2);
}

TEST_F(ImgControlTest, DragTurnsTheKnobWithADetentAtTheMiddle)
{
    control.SetPosition(40);
    dragUp({7});
    EXPECT_EQ(control.Position(), 47);
    control.SetPosition(40);
    dragUp({10});
    EXPECT_EQ(control.Position(), 50);
    control.SetPosition(40);
    dragUp({15});
    EXPECT_EQ(control.Position(), 50);
    control.SetPosition(40);
    dragUp({16});
    EXPECT_EQ(control.Position(), 56);
    control.SetPosition(60);
    dragUp({-15}); // from above, downwards
    EXPECT_EQ(control.Position(), 50);

    control.SetPosition(50);
    dragUp({6});
    EXPECT_EQ(control.Position(), 51);
    control.SetPosition(50);
    dragUp({5});
    EXPECT_EQ(control.Position(), 50);
    // Held at the detent, small moves add up until they pass it.
    control.SetPosition(50);
    dragUp({3, 2, 1});
    EXPECT_EQ(control.Position(), 51);
    control.SetPosition(50);
    dragUp({-8});
    EXPECT_EQ(control.Position(), 47);
}

TEST_F(ImgControlTest, DragStopsAtTheEndsAndOffersValuesToOnScroll)
{
    control.SetPosition(95);
    dragUp({30});
    EXPECT_EQ(control.Position(), 100);
    control.SetPosition(5);
    dragUp({-30});
    EXPECT_EQ(control.Position(), 0);

    control.SmallChange = 3;
    control.OnScroll = [](TImgControl *, int32_t &p) { p -= p % 10; };
    control.SetPosition(0);
    dragUp({5}); // 15, rounded down by the handler
    EXPECT_EQ(control.Position(), 10);
}

TEST_F(ImgControlTest, ShiftMakesSixPixelsOneStepAndReleasingItOneStepAtMost)
{
    control.SetPosition(10);
    dragUp({6}, Qt::ShiftModifier);
    EXPECT_EQ(control.Position(), 11);
    control.SetPosition(10);
    dragUp({5}, Qt::ShiftModifier);
    EXPECT_EQ(control.Position(), 10);
    control.SetPosition(10);
    dragUp({3, 3, 6}, Qt::ShiftModifier); // the first two add up to one step
    EXPECT_EQ(control.Position(), 12);

    // Shift released: the next movement counts one step however large, then full speed.
    control.SetPosition(10);
    Press(&control, {5, 100});
    Move(&control, {5, 94}, Qt::ShiftModifier);
    EXPECT_EQ(control.Position(), 11);
    Move(&control, {5, 54});
    EXPECT_EQ(control.Position(), 12);
    Move(&control, {5, 44});
    EXPECT_EQ(control.Position(), 22);
    Release(&control, {5, 44});

    // Pressed with Shift held and moved without: one step.
    control.SetPosition(10);
    Press(&control, {5, 100}, Qt::LeftButton, Qt::ShiftModifier);
    Move(&control, {5, 80});
    EXPECT_EQ(control.Position(), 11);
    Release(&control, {5, 80});
}

TEST_F(ImgControlTest, HorizontalKnobsTurnRightwardsAndOnlyTheLeftButtonDrags)
{
    control.Kind = sbHorizontal;
    control.SetPosition(10);
    Press(&control, {10, 10});
    Move(&control, {14, 50}); // vertical movement is ignored
    EXPECT_EQ(control.Position(), 14);
    Move(&control, {10, 50});
    EXPECT_EQ(control.Position(), 10);
    Release(&control, {10, 50});

    Press(&control, {10, 10}, Qt::RightButton);
    Move(&control, {30, 10});
    Release(&control, {30, 10}, Qt::RightButton);
    EXPECT_EQ(control.Position(), 10);

    control.AllowUserControl = false;
    Press(&control, {10, 10});
    Move(&control, {30, 10});
    Release(&control, {30, 10});
    EXPECT_EQ(control.Position(), 10);
}

class ButtonTest : public ::testing::Test {
protected:
    ButtonTest()
    {
        strip.SetSeparatorSize(1);
        strip.SetCount(2);
        strip.Button = true;
        strip.SetBitmap(MakeStrip(2, 32, 25, 1));
        control.SetFrameImage(&strip);
        control.OnButtonClick = [this](TImgControl *) { ++clicks; };
    }
    TFrameImage strip;
    TImgControl control;
    int clicks = 0;
};

TEST_F(ButtonTest, PushButtonShowsPressedOnlyWhileThePointerIsOnIt)
{
    Press(&control, {5, 5});
    EXPECT_EQ(control.Position(), 100);
    EXPECT_EQ(control.FrameIndex(), 1);
    Move(&control, {40, 5}); // off the button
    EXPECT_EQ(control.Position(), 0);
    EXPECT_EQ(control.FrameIndex(), 0);
    Move(&control, {31, 24}); // the last pixel of the frame
    EXPECT_EQ(control.Position(), 100);
    Move(&control, {5, 25});
    EXPECT_EQ(control.Position(), 0);
    Release(&control, {5, 25});
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(control.Position(), 0);

    Press(&control, {5, 5});
    Release(&control, {6, 6});
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(control.Position(), 0);
}

TEST_F(ButtonTest, ToggleFlipsOnPressAndStays)
{
    strip.TwoState = true;
    Press(&control, {5, 5});
    EXPECT_EQ(control.Position(), 100);
    Release(&control, {5, 5});
    EXPECT_EQ(control.Position(), 100);
    EXPECT_EQ(clicks, 1);
    Press(&control, {5, 5});
    EXPECT_EQ(control.Position(), 0);
    Release(&control, {5, 5});
    EXPECT_EQ(control.Position(), 0);

    // Leaving before the release takes the toggle back.
    Press(&control, {5, 5});
    Move(&control, {-3, 5});
    EXPECT_EQ(control.Position(), 0);
    Release(&control, {-3, 5});
    EXPECT_EQ(control.Position(), 0);
    EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonTest, ToggleOnARangeNotStartingAtZero)
{
    strip.TwoState = true;
    control.SetMax(20);
    control.SetMin(10);
    Press(&control, {5, 5});
    EXPECT_EQ(control.Position(), 20);
    Move(&control, {50, 5});
    EXPECT_EQ(control.Position(), 10);
    Move(&control, {5, 5});
    Release(&control, {5, 5});
    EXPECT_EQ(control.Position(), 20);
    Press(&control, {5, 5});
    Release(&control, {5, 5});
    EXPECT_EQ(control.Position(), 10);
}

TEST_F(ButtonTest, ScrollHintFollowsThePositionWhileShown)
{
    control.ShowScrollHint = true;
    control.OnGetScrollHint = [](TImgControl *, QString &hint) { hint = "at " + hint; };
    EXPECT_EQ(control.MovingHint(), nullptr);
    Press(&control, {5, 5});
    ASSERT_NE(control.MovingHint(), nullptr);
    EXPECT_TRUE(control.MovingHint()->isVisible());
    EXPECT_EQ(control.MovingHint()->text(), "at 100");
    EXPECT_LE(control.MovingHint()->width(), TMovingHint::MaxHintWidth);
    Move(&control, {50, 5});
    EXPECT_EQ(control.MovingHint()->text(), "at 0");
    Release(&control, {50, 5});
    EXPECT_FALSE(control.MovingHint()->isVisible());
}

} // namespace
