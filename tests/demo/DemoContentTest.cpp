// What the demo's pictures and drums hold: every frame of a strip differs from
// the others as the preview cuts it, and the drums sound without clipping.

#include "controls/FrameImage.h"
#include "demo/DemoDrums.h"
#include "demo/DemoImages.h"
#include "model/Catalogue.h"

#include <QImage>
#include <cmath>
#include <gtest/gtest.h>

namespace {

TEST(DemoImages, EveryImageHasItsCatalogueSize)
{
    for (int i = 0; i < ImageCount; ++i) {
        const QImage image = DrawDemoImage(i);
        EXPECT_EQ(image.width(), ImageRecord(i).width) << ImageRecord(i).description;
        EXPECT_EQ(image.height(), ImageRecord(i).height) << ImageRecord(i).description;
    }
}

// Cut as the preview cuts a strip (one-pixel separators), each frame shown at
// the size its control has, no two frames of a strip may look the same: a knob
// turns, a button or LED lights, a digit changes, a meter climbs.
TEST(DemoImages, FramesOfEveryStripDifferFromOneAnother)
{
    for (int j = 0; j < FramesCount; ++j) {
        const TFramesRecord &r = FramesTable[size_t(j)];
        TFrameImage strip;
        strip.SetSeparatorSize(1);
        strip.SetOrientation(r.vertical ? sbVertical : sbHorizontal);
        strip.SetCount(r.frames);
        strip.SetBitmap(DrawDemoImage(FirstFramesImage + j));
        ASSERT_EQ(strip.Count(), r.frames) << r.description;
        std::vector<QImage> frames;
        for (int f = 0; f < r.frames; ++f) {
            QRect shown = strip.FrameRect(f);
            if (r.vertical) // a vertical strip's control has the catalogue's frame size
                shown.setSize(QSize(r.frameWidth, r.frameHeight));
            frames.push_back(strip.Bitmap().copy(shown));
        }
        for (int a = 0; a < r.frames; ++a)
            for (int b = a + 1; b < r.frames; ++b)
                EXPECT_NE(frames[size_t(a)], frames[size_t(b)])
                    << r.description << ": frames " << a << " and " << b << " are the same";
    }
}

TEST(DemoImages, KnobPointerTurnsFromLeftToRight)
{
    // The 303 knob: at the first frame the pointer's end is in the left half, at
    // the last in the right half (the white pointer on the black cap).
    const int strip = 15;
    const QImage image = DrawDemoImage(FirstFramesImage + strip);
    const auto whiteCentre = [&](int frame) {
        const QRect r = DemoFrameRect(strip, frame);
        double sum = 0;
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (qGray(image.pixel(x, y)) > 235 && y > r.top() + r.height() / 2 - 2) {
                    sum += x - r.left();
                    ++n;
                }
        return n ? sum / n : -1.0;
    };
    EXPECT_LT(whiteCentre(0), 13.0);
    EXPECT_GT(whiteCentre(53), 17.0);
}

TEST(DemoDrums, EveryDrumSoundsWithoutClipping)
{
    for (int d = 0; d < DrumCount; ++d) {
        const std::vector<int16_t> s = SynthesiseDemoDrum(d);
        ASSERT_GT(s.size(), 44100u / 20) << DrumName(d).toStdString(); // at least 50 ms
        EXPECT_LT(s.size(), 44100u * 3) << DrumName(d).toStdString();
        int peak = 0;
        double energy = 0;
        for (int16_t v : s) {
            peak = std::max(peak, std::abs(int(v)));
            energy += double(v) * v;
        }
        const double rms = std::sqrt(energy / double(s.size()));
        EXPECT_LT(peak, 32767) << DrumName(d).toStdString() << " clips";
        EXPECT_GT(peak, 16000) << DrumName(d).toStdString() << " is too quiet";
        EXPECT_GT(rms, 300.0) << DrumName(d).toStdString() << " is nearly silent";
        EXPECT_EQ(s.back(), 0) << DrumName(d).toStdString() << " ends with a click";
    }
}

TEST(DemoDrums, KickFallsInPitchAndHatIsBright)
{
    // Zero crossings per second: the 808 bass drum's body is low and gets lower;
    // the closed hi-hat is noise above several kHz.
    const auto crossings = [](const std::vector<int16_t> &s, size_t from, size_t to) {
        int n = 0;
        for (size_t i = from + 1; i < to; ++i)
            n += (s[i - 1] < 0) != (s[i] < 0);
        return n * 44100.0 / double(to - from) / 2.0;
    };
    const std::vector<int16_t> kick = SynthesiseDemoDrum(1);
    const double early = crossings(kick, 200, 2400), late = crossings(kick, 8000, 20000);
    EXPECT_GT(early, late);
    EXPECT_LT(late, 70.0);
    const std::vector<int16_t> hat = SynthesiseDemoDrum(3);
    EXPECT_GT(crossings(hat, 0, 2000), 3000.0);
}

TEST(DemoDrums, SameSamplesEveryTime)
{
    for (int d : {0, 5, 14, 29, 45})
        EXPECT_EQ(SynthesiseDemoDrum(d), SynthesiseDemoDrum(d));
}

} // namespace
