// Frame strips: how a bitmap is cut into frames, what survives a reload, and how a change
// of a shared image reaches every control showing it.

#include "controls/FrameImage.h"

#include "ImgControlFixtures.h"
#include "controls/ImgControl.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

TEST(FrameImageTest, CutsStripsWithSeparators)
{
    TFrameImage knob;
    knob.SetSeparatorSize(1);
    knob.SetCount(54);
    knob.SetBitmap(QImage(1674, 30, QImage::Format_RGB32));
    EXPECT_EQ(knob.Width(), 30);
    EXPECT_EQ(knob.Height(), 30);
    EXPECT_EQ(knob.FrameRect(53), QRect(53 * 31, 0, 30, 30));

    TFrameImage digits;
    digits.SetSeparatorSize(1);
    digits.SetBitmap(QImage(109, 16, QImage::Format_RGB32));
    digits.SetCount(11);
    EXPECT_EQ(digits.Width(), 9);
    EXPECT_EQ(digits.Height(), 16);

    TFrameImage vu;
    vu.SetSeparatorSize(1);
    vu.SetOrientation(sbVertical);
    vu.SetCount(11);
    vu.SetBitmap(QImage(15, 11 * 56 + 10, QImage::Format_RGB32));
    EXPECT_EQ(vu.Width(), 15);
    EXPECT_EQ(vu.Height(), 56);
    EXPECT_EQ(vu.FrameRect(2), QRect(0, 114, 15, 56));
}

TEST(FrameImageTest, FrameSizeSetsTheCountAndCountZeroOnlyClamps)
{
    TFrameImage strip;
    strip.SetSeparatorSize(1);
    strip.SetBitmap(QImage(109, 16, QImage::Format_RGB32));
    EXPECT_EQ(strip.Count(), 0);
    EXPECT_EQ(strip.Width(), 0);
    strip.SetWidth(9);
    EXPECT_EQ(strip.Count(), 11);
    EXPECT_EQ(strip.Width(), 9);
    strip.SetCount(-3);
    EXPECT_EQ(strip.Count(), 0);
    EXPECT_TRUE(strip.DrawsEmpty());

    // Without a bitmap nothing is cut: the size is just kept.
    TFrameImage empty;
    empty.SetWidth(500);
    empty.SetHeight(40);
    empty.SetCount(4);
    EXPECT_EQ(empty.Width(), 500);
    EXPECT_EQ(empty.Height(), 40);
    EXPECT_EQ(empty.Count(), 4);
    // A bitmap smaller than the kept size with Count 0 clamps it.
    TFrameImage clamped;
    clamped.SetWidth(500);
    clamped.SetHeight(40);
    clamped.SetBitmap(QImage(20, 10, QImage::Format_RGB32));
    EXPECT_EQ(clamped.Width(), 20);
    EXPECT_EQ(clamped.Height(), 10);
}

TEST(FrameImageTest, ReloadKeepsTheCutAndAStripTooShortDrawsEmpty)
{
    TFrameImage strip;
    strip.SetSeparatorSize(1);
    strip.SetCount(54);
    strip.Button = true;
    strip.TwoState = true;
    strip.SetBitmap(QImage(1674, 30, QImage::Format_RGB32));
    strip.ClearBitmap();
    // Cleared: the frame size stays, so the crossed rectangle keeps its size.
    EXPECT_EQ(strip.Width(), 30);
    EXPECT_TRUE(strip.DrawsEmpty());
    strip.SetBitmap(QImage(54 * 11 - 1, 12, QImage::Format_RGB32));
    EXPECT_EQ(strip.Count(), 54);
    EXPECT_TRUE(strip.Button);
    EXPECT_TRUE(strip.TwoState);
    EXPECT_EQ(strip.Width(), 10);
    EXPECT_EQ(strip.Height(), 12);
    // A wrong file far too narrow for 54 frames: nothing can be cut, nothing is read
    // outside the bitmap.
    strip.SetBitmap(QImage(20, 12, QImage::Format_RGB32));
    EXPECT_EQ(strip.Width(), 0);
    EXPECT_TRUE(strip.DrawsEmpty());
}

class SharedImageTest : public ::testing::Test {
protected:
    SharedImageTest()
    {
        window.resize(200, 100);
        image.SetSeparatorSize(1);
        image.SetCount(4);
        image.SetBitmap(MakeStrip(4, 20, 16, 1));
        for (int i = 0; i < 2; ++i) {
            controls[i] = new TImgControl(&window);
            controls[i]->move(10 + 50 * i, 10);
            controls[i]->SetFrameImage(&image);
        }
        window.show();
        QApplication::processEvents();
    }
    // Lets pending repaints run; true when each control painted since the counts given.
    bool bothRepainted(int before0, int before1)
    {
        QApplication::processEvents();
        return controls[0]->PaintCount() > before0 && controls[1]->PaintCount() > before1;
    }

    QWidget window;
    TFrameImage image;
    TImgControl *controls[2] = {};
};

TEST_F(SharedImageTest, ControlsTakeTheFrameSizeAndShowTheirFrame)
{
    EXPECT_EQ(controls[0]->size(), QSize(20, 16));
    EXPECT_EQ(image.Clients().size(), 2u);
    controls[1]->SetPosition(100); // last frame
    EXPECT_EQ(Shot(controls[0]).pixel(10, 8), FrameColour(0).rgb());
    EXPECT_EQ(Shot(controls[1]).pixel(19, 15), FrameColour(3).rgb());
    controls[1]->SetPosition(26); // frame 1: never the separator or the neighbour
    const QImage shot = Shot(controls[1]);
    EXPECT_EQ(shot.pixel(0, 0), FrameColour(1).rgb());
    EXPECT_EQ(shot.pixel(19, 0), FrameColour(1).rgb());
}

TEST_F(SharedImageTest, AlwaysDisplayEmptyRepaintsEveryClientAndClearingRestores)
{
    int p0 = controls[0]->PaintCount(), p1 = controls[1]->PaintCount();
    image.SetAlwaysDisplayEmpty(true);
    EXPECT_TRUE(bothRepainted(p0, p1));
    EXPECT_TRUE(ShowsEmptyMark(Shot(controls[0])));
    EXPECT_TRUE(ShowsEmptyMark(Shot(controls[1])));
    p0 = controls[0]->PaintCount(), p1 = controls[1]->PaintCount();
    image.SetAlwaysDisplayEmpty(false);
    EXPECT_TRUE(bothRepainted(p0, p1));
    EXPECT_FALSE(ShowsEmptyMark(Shot(controls[0])));
    EXPECT_EQ(Shot(controls[0]).pixel(5, 5), FrameColour(0).rgb());
}

TEST_F(SharedImageTest, AClearedBitmapCrossesOutEveryControlAtItsSize)
{
    int p0 = controls[0]->PaintCount(), p1 = controls[1]->PaintCount();
    image.ClearBitmap();
    EXPECT_TRUE(bothRepainted(p0, p1));
    EXPECT_EQ(controls[1]->size(), QSize(20, 16));
    EXPECT_TRUE(ShowsEmptyMark(Shot(controls[0])));
    EXPECT_TRUE(ShowsEmptyMark(Shot(controls[1])));
    // A reload with larger frames re-sizes the auto-sized controls, not the fixed one.
    controls[1]->SetAutoSize(false);
    image.SetBitmap(MakeStrip(4, 30, 20, 1));
    EXPECT_EQ(controls[0]->size(), QSize(30, 20));
    EXPECT_EQ(controls[1]->size(), QSize(20, 16));
}

TEST_F(SharedImageTest, APositionChangeRepaintsOnlyWhenTheFrameChanges)
{
    QApplication::processEvents();
    const int before = controls[0]->PaintCount();
    controls[0]->SetPosition(10); // still frame 0 of 4
    QApplication::processEvents();
    EXPECT_EQ(controls[0]->PaintCount(), before);
    controls[0]->SetPosition(30); // frame 1
    QApplication::processEvents();
    EXPECT_EQ(controls[0]->PaintCount(), before + 1);
    EXPECT_EQ(controls[0]->LastDrawnFrame(), 1);
}

TEST_F(SharedImageTest, DestroyingEitherSideDetachesTheOther)
{
    delete controls[0];
    EXPECT_EQ(image.Clients().size(), 1u);
    auto other = std::make_unique<TFrameImage>();
    controls[1]->SetFrameImage(other.get());
    EXPECT_TRUE(image.Clients().empty());
    other.reset();
    EXPECT_EQ(controls[1]->Image(), nullptr);
    EXPECT_EQ(controls[1]->FrameIndex(), -1);
    QApplication::processEvents(); // paints without an image
    controls[1]->SetPosition(50);
    EXPECT_EQ(controls[1]->Position(), 50);
}

} // namespace
