#include "model/Catalogue.h"
#include "platform/Exception.h"

#include <gtest/gtest.h>
#include <set>

TEST(Catalogue, NumberingAndKindMaps)
{
    CreateCatalogue();
    // Panels 0..14, strips 15..55, sliders 56..58, then the drums at 59 + drum index.
    for (int i = 0; i < ImageCount; ++i) {
        const TAllImages &e = ImageEntry(i);
        EXPECT_TRUE(e.isImage());
        EXPECT_EQ(e.kind, ImageKindOf(i)) << i;
        EXPECT_EQ(e.kindIndex, KindIndexOf(i)) << i;
        EXPECT_EQ(&e.record(), &ImageRecord(i)) << i;
        EXPECT_TRUE(e.path.isEmpty());
        EXPECT_EQ(e.fileAge, -1);
    }
    EXPECT_EQ(ImageEntry(14).kind, ikPanel);
    EXPECT_EQ(ImageEntry(15).kind, ikFrames);
    EXPECT_EQ(ImageEntry(55).kind, ikFrames);
    EXPECT_EQ(ImageEntry(56).kind, ikSlider);
    for (int i = 0; i < PanelCount; ++i)
        EXPECT_EQ(PanelImage(i), i);
    for (int j = 0; j < FramesCount; ++j)
        EXPECT_EQ(FramesImage(j), 15 + j);
    for (int k = 0; k < SliderCount; ++k)
        EXPECT_EQ(SliderImage(k), 56 + k);
    for (int d = 0; d < DrumCount; ++d) {
        EXPECT_FALSE(LiveEntry(ImageCount + d).isImage());
        EXPECT_EQ(&DrumEntry(d), &LiveEntry(59 + d));
    }
}

TEST(Catalogue, NamedRows)
{
    CreateCatalogue();
    EXPECT_EQ(Description(ImageEntry(15)), "LED digits");
    EXPECT_EQ(ModFileName(ImageEntry(15)), "12015.jpg");
    EXPECT_EQ(Description(ImageEntry(58)), "Volume slider");
    EXPECT_EQ(ModFileName(ImageEntry(14)), "splash.jpg");
    EXPECT_EQ(DrumName(0), "Start-up sound");
    EXPECT_EQ(DrumCode(0), "");
    EXPECT_EQ(DrumFileName(0), "Startup.aif");
    EXPECT_EQ(Description(LiveEntry(59 + 45)), "909 Snare Snappy 3");
    EXPECT_EQ(ModFileName(LiveEntry(59 + 45)), "TR909SDN3.aif");
    EXPECT_EQ(DrumCode(1), "BD");

    int w = 0, h = 0;
    EXPECT_TRUE(ExpectedSize(ImageEntry(30), w, h)); // 303 knob movie
    EXPECT_EQ(w, 1674);
    EXPECT_EQ(h, 30);
    const TFramesRecord &knob = FramesTable[15];
    EXPECT_EQ(knob.frames, 54);
    EXPECT_EQ(FramesTable[26].vertical, true); // pattern number buttons
    EXPECT_EQ(FramesTable[39].twoState, true); // compressor VU
    EXPECT_EQ(SliderTable[0].thumb, -1);
    EXPECT_EQ(SliderTable[2].thumb, 0);
}

TEST(Catalogue, TablesAreConsistent)
{
    // File names are unique and within their limits; sizes are positive; descriptions fit 27 chars.
    std::set<std::string> files;
    for (int i = 0; i < ImageCount; ++i) {
        const TImageRecord &r = ImageRecord(i);
        EXPECT_LE(std::string(r.fileName).size(), 11u);
        EXPECT_LE(std::string(r.description).size(), 27u);
        EXPECT_GT(r.width, 0);
        EXPECT_GT(r.frameHeight, 0);
        EXPECT_TRUE(files.insert(r.fileName).second) << r.fileName;
    }
    for (const TDrumRecord &d : DrumTable) {
        EXPECT_LE(std::string(d.fileName).size(), 13u);
        EXPECT_LE(std::string(d.name).size(), 19u);
        EXPECT_LE(std::string(d.code).size(), 2u);
        EXPECT_TRUE(files.insert(d.fileName).second) << d.fileName;
    }
    for (const TImageRecord &p : PanelTable) {
        EXPECT_EQ(p.frameWidth, p.width);
        EXPECT_EQ(p.frameHeight, p.height);
    }
}

TEST(Catalogue, CreateTwiceKeepsEntriesAndBadIndexesAssert)
{
    CreateCatalogue();
    TLiveEntry *first = &LiveEntry(0);
    TLiveEntry *last = &LiveEntry(104);
    first->path = "/x/panel.jpg";
    CreateCatalogue();
    EXPECT_EQ(&LiveEntry(0), first);
    EXPECT_EQ(&LiveEntry(104), last);
    EXPECT_EQ(LiveEntry(0).path, "/x/panel.jpg");
    first->path.clear();

    EXPECT_THROW(LiveEntry(105), EAssertionFailed);
    EXPECT_THROW(LiveEntry(-1), EAssertionFailed);
    EXPECT_THROW(DrumEntry(46), EAssertionFailed);
    EXPECT_THROW(ImageRecord(59), EAssertionFailed);
    try {
        LiveEntry(200);
    } catch (const EAssertionFailed &e) {
        EXPECT_EQ(e.unit(), "ReBirthTypes");
        EXPECT_NE(std::string(e.what()).find("Assertion failure"), std::string::npos);
    }
}
