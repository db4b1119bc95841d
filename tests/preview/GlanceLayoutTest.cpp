// The preview's constant layout: every control names a real strip or slider, each panel
// has its number of controls, and the drum step regions map clicks to the right drums.

#include "preview/GlanceLayout.h"

#include "model/Catalogue.h"

#include <gtest/gtest.h>
#include <map>

namespace {

TEST(GlanceLayout, EveryPanelHasItsControlsAndThereAre286)
{
    const std::map<int, size_t> perPanel = {{0, 30},  {1, 8},   {2, 8},  {3, 4},  {4, 0},
                                            {5, 9},   {6, 11},  {7, 4},  {8, 0},  {9, 51},
                                            {10, 28}, {11, 29}, {12, 5}, {13, 0}, {14, 0}};
    for (const auto &[panel, count] : perPanel)
        EXPECT_EQ(PanelControls(panel).size(), count) << "panel " << panel;
    size_t total = 0;
    for (const TPanelPlace &place : PanelPlaces) {
        total += PanelControls(place.panel).size();
        for (const TControlPlace &row : PanelControls(place.panel)) {
            const int index = ImageIndexOfFile(row.fileName);
            ASSERT_GE(index, FirstFramesImage) << row.fileName;
            // Slider rows are tracks, never the thumb itself.
            if (ImageKindOf(index) == ikSlider) {
                EXPECT_GE(SliderTable[size_t(KindIndexOf(index))].thumb, 0) << row.fileName;
            }
            // Every control lies inside the 624 x 510 client area.
            const TImageRecord &r = ImageRecord(index);
            EXPECT_LE(place.x + row.dx + r.frameWidth, GlanceWidth) << row.fileName;
            EXPECT_LE(place.y + row.dy + r.frameHeight, GlanceHeight) << row.fileName;
        }
    }
    EXPECT_EQ(total, 286u);
    EXPECT_EQ(ImageIndexOfFile("12057.jpg"), -1); // panels are not controls
    EXPECT_EQ(ImageIndexOfFile("nothing.jpg"), -1);
}

TEST(GlanceLayout, StepButtonsHaveGapsBetweenThem)
{
    EXPECT_EQ(DrumAt(106, 370), 1);  // 808 Bassdrum
    EXPECT_EQ(DrumAt(118, 370), 1);  // pixel 11 of segment 0
    EXPECT_EQ(DrumAt(119, 370), -1); // pixel 12: the gap
    EXPECT_EQ(DrumAt(123, 370), 14); // 808 Snare Snappy 1
    EXPECT_EQ(DrumAt(106, 391), -1);
    EXPECT_EQ(DrumAt(105, 380), -1);
    EXPECT_EQ(DrumAt(363, 380), -1); // the last pixel of the last segment is a gap
    // The snare row above them has no gaps.
    EXPECT_EQ(DrumAt(106, 352), 15);
    EXPECT_EQ(DrumAt(364, 369), 24);
    EXPECT_EQ(DrumAt(365, 369), -1);
    // 909 snare tones: five segments of 24 pixels.
    EXPECT_EQ(DrumAt(122, 465), 38);
    EXPECT_EQ(DrumAt(146, 478), 39);
    EXPECT_EQ(DrumAt(241, 470), 42);
}

TEST(GlanceLayout, EachStepPlaysTheDrumOfItsName)
{
    const char *names808[] = {"808 Bassdrum", "808 Snare Snappy 1", "808 Lo Tom",     "808 Mid Tom",
                              "808 Hi Tom",   "808 Lo Conga",       "808 Mid Conga",  "808 Hi Conga",
                              "808 Rimshot",  "808 Handclaps",      "808 Claves",     "808 Maracas",
                              "808 Cowbell",  "808 Cymbal",         "808 Open Hihat", "808 Closed Hihat"};
    const char *names909[] = {
        "909 Bassdrum 1",     "909 Bassdrum 2",     "909 Bassdrum 3",     "909 Bassdrum 4",
        "909 Snare Snappy 1", "909 Snare Snappy 2", "909 Snare Snappy 3", "909 Lo Tom",
        "909 Mid Tom",        "909 Hi Tom",         "909 Rimshot",        "909 Handclaps",
        "909 Closed Hihat",   "909 Open Hihat",     "909 Crash Cymbal",   "909 Ride Cymbal"};
    for (int s = 0; s < 16; ++s) {
        // The first and a middle pixel of each step button.
        const int x808 = 106 + int(s * 258 / 16.0 + 0.999);
        EXPECT_EQ(DrumName(DrumAt(x808, 380)), names808[s]) << s;
        EXPECT_EQ(DrumName(DrumAt(x808 + 6, 380)), names808[s]) << s;
        const int x909 = 118 + int(s * 341 / 16.0 + 0.999);
        EXPECT_EQ(DrumName(DrumAt(x909, 490)), names909[s]) << s;
        EXPECT_EQ(DrumName(DrumAt(x909 + 9, 490)), names909[s]) << s;
    }
    for (int x : {459, 530, 606})
        for (int y : {1, 20, 48})
            EXPECT_EQ(DrumAt(x, y), 0) << x << "," << y;
    EXPECT_EQ(DrumAt(459, 0), -1);
    EXPECT_EQ(DrumAt(607, 48), -1);
}

} // namespace
