// The slider: where the thumb is drawn, clamping, jumping to a click on the track and
// dragging the thumb.

#include "controls/SliderControl.h"

#include "ImgControlFixtures.h"

#include <gtest/gtest.h>

namespace {

const QColor TrackColour(30, 160, 40);
const QColor ThumbColour(230, 220, 60);

QImage Filled(int w, int h, const QColor &c)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(c);
    return image;
}

class SliderTest : public ::testing::Test {
protected:
    SliderTest()
    {
        track.SetBitmap(Filled(15, 45, TrackColour));
        thumb.SetBitmap(Filled(15, 11, ThumbColour));
        slider.SetImage(&track);
        slider.SetThumbImage(&thumb);
        slider.SetThumbRange(34);
    }
    TSharedImage track;
    TSharedImage thumb;
    TSliderControl slider;
};

TEST_F(SliderTest, ThumbTravelsUpFromTheBottom)
{
    EXPECT_EQ(slider.size(), QSize(15, 45));
    EXPECT_EQ(slider.ThumbOffset(), 34);
    EXPECT_EQ(slider.ThumbRect(), QRect(0, 34, 15, 11));
    slider.SetPosition(100);
    EXPECT_EQ(slider.ThumbOffset(), 1);
    slider.SetPosition(50);
    EXPECT_EQ(slider.ThumbOffset(), 34 - 16);

    const QImage shot = Shot(&slider);
    EXPECT_EQ(shot.pixel(7, 18), ThumbColour.rgb());
    EXPECT_EQ(shot.pixel(7, 28), ThumbColour.rgb());
    EXPECT_EQ(shot.pixel(7, 17), TrackColour.rgb());
    EXPECT_EQ(shot.pixel(7, 29), TrackColour.rgb());

    slider.Kind = sbHorizontal;
    slider.SetPosition(100);
    EXPECT_EQ(slider.ThumbOffset(), 33);
    slider.SetThumbOffsetY(3);
    EXPECT_EQ(slider.ThumbRect(), QRect(33, 3, 15, 11));
}

TEST_F(SliderTest, PositionIsClampedAndRangeAtLeastOnePixel)
{
    slider.SetPosition(500);
    EXPECT_EQ(slider.Position(), 100);
    slider.SetPosition(-500);
    EXPECT_EQ(slider.Position(), 0);
    slider.SetThumbRange(-4);
    EXPECT_EQ(slider.ThumbRange(), 1);
    slider.SetThumbImage(nullptr);
    EXPECT_EQ(slider.ThumbOffset(), -1);
    EXPECT_TRUE(slider.ThumbRect().isEmpty());
    EXPECT_TRUE(thumb.Clients().empty());
}

TEST_F(SliderTest, ClickOnTheTrackJumpsThereAndDragsTheThumb)
{
    // Thumb at the bottom (y 34..44); a click near the top moves it up there:
    // 101 positions over 34 pixels, the thumb's middle (5 below its top) at y 8 is
    // 101 * (5 + 34 - 8) / 34 = 92.09, so 92, whose thumb top is 34 - int(92 / 101 * 34) = 4.
    Press(&slider, {7, 8});
    EXPECT_TRUE(slider.Dragging());
    EXPECT_EQ(slider.Position(), 92);
    EXPECT_EQ(slider.ThumbRect(), QRect(0, 4, 15, 11));
    // Dragging follows the pointer: grabbed one pixel above the thumb's middle (y 9),
    // the pointer at 20 puts the middle at 21: 101 * (39 - 21) / 34 = 53.47, so 53.
    Move(&slider, {7, 20});
    EXPECT_EQ(slider.Position(), 53);
    Move(&slider, {7, 300});
    EXPECT_EQ(slider.Position(), 0);
    Move(&slider, {7, -300});
    EXPECT_EQ(slider.Position(), 100);
    Release(&slider, {7, -300});
    EXPECT_FALSE(slider.Dragging());
    Move(&slider, {7, 300});
    EXPECT_EQ(slider.Position(), 100);
}

TEST_F(SliderTest, GrabbingTheThumbOffCentreDoesNotMoveIt)
{
    // Position 40: thumb top 34 - int(40 / 101 * 34) = 21, its middle at 26.
    slider.SetPosition(40);
    const QRect r = slider.ThumbRect();
    ASSERT_EQ(r, QRect(0, 21, 15, 11));
    Press(&slider, {7, r.top() + 1});
    EXPECT_EQ(slider.Position(), 40);
    EXPECT_TRUE(slider.Dragging());
    // Not moving the pointer leaves the thumb where it is: its middle (y 26) stands
    // for 101 * (39 - 26) / 34 = 38.6, so 39, which the thumb shows at the same place.
    Move(&slider, {7, r.top() + 1});
    EXPECT_EQ(slider.ThumbRect(), r);
    EXPECT_EQ(slider.Position(), 39);
    // One pixel down is one pixel's worth of positions less: 101 * 12 / 34 = 35.6, so 36.
    Move(&slider, {7, r.top() + 2});
    EXPECT_EQ(slider.Position(), 36);
    EXPECT_EQ(slider.ThumbRect(), QRect(0, 22, 15, 11));
    Release(&slider, {7, r.top() + 2});
}

TEST_F(SliderTest, PointToPositionRoundsHalvesToEven)
{
    // Horizontal, range 0..9 over 20 pixels: each pixel is half a step.
    slider.Kind = sbHorizontal;
    slider.SetMax(9);
    slider.SetThumbRange(20);
    // thumb width 15: x - 7 - 0 pixels; 1 pixel = 0.5.
    EXPECT_EQ(slider.PointToPosition({8, 0}), 0);  // 0.5 -> 0
    EXPECT_EQ(slider.PointToPosition({10, 0}), 2); // 1.5 -> 2
    EXPECT_EQ(slider.PointToPosition({12, 0}), 2); // 2.5 -> 2
}

TEST_F(SliderTest, RepaintsOnlyWhenTheThumbMovesAndFollowsTheTrackSize)
{
    QWidget window;
    slider.setParent(&window);
    window.show();
    QApplication::processEvents();
    const int before = slider.PaintCount();
    slider.SetPosition(1); // 34 + trunc(-0.34) = 34: same place
    QApplication::processEvents();
    EXPECT_EQ(slider.PaintCount(), before);
    slider.SetPosition(5);
    QApplication::processEvents();
    EXPECT_EQ(slider.PaintCount(), before + 1);
    thumb.SetAlwaysDisplayEmpty(true); // the thumb's change repaints the slider too
    QApplication::processEvents();
    EXPECT_EQ(slider.PaintCount(), before + 2);
    thumb.SetAlwaysDisplayEmpty(false);

    track.SetBitmap(Filled(15, 54, TrackColour));
    EXPECT_EQ(slider.size(), QSize(15, 54));
    track.ClearBitmap();
    EXPECT_EQ(slider.size(), QSize(15, 54));
    // The missing track shows its diagonals; the thumb still sits on it.
    const QImage shot = Shot(&slider);
    EXPECT_LT(qGray(shot.pixel(0, 0)), 80);
    EXPECT_GE(qGray(shot.pixel(7, 0)), 80);
    EXPECT_EQ(shot.pixel(7, slider.ThumbRect().top() + 2), ThumbColour.rgb());
    slider.setParent(nullptr);
}

} // namespace
