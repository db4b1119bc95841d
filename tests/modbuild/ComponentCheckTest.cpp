#include "BuildFixture.h"
#include "platform/Exception.h"

using namespace fixture;

namespace {

constexpr int Led = 15;  // "LED digits", 109x16, 12015.jpg
constexpr int Panel = 0; // "Transport panel", 592x50
constexpr int BassDrum = 1;

std::string ErrorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const EModwright &e) {
        return e.what();
    }
    return "no error";
}

} // namespace

class ComponentCheck : public TBuildTest {};

TEST_F(ComponentCheck, ImageOfExpectedSizeIsMeasuredWithoutWarning)
{
    const QString path = dir.createFile("led.bmp", BmpBytes(Gradient(109, 16)));
    assign(image(Led), path);
    EXPECT_EQ(image(Led).assignedPath(), path);
    EXPECT_EQ(image(Led).info[0], 109);
    EXPECT_EQ(image(Led).info[1], 16);
    EXPECT_EQ(image(Led).info[2], 24);
    EXPECT_EQ(image(Led).info[3], 0);
    EXPECT_TRUE(set.modified);
    EXPECT_TRUE(messages.lines.isEmpty());
    EXPECT_EQ(ComponentCells(image(Led), settings), (QStringList{"109x16", "24bit"}));
}

TEST_F(ComponentCheck, ImageOfAnotherSizeIsAssignedWithAWarning)
{
    const QString path = dir.createFile("big.jpg", JpegBytes(Gradient(640, 480)));
    assign(image(Panel), path);
    EXPECT_EQ(image(Panel).assignedPath(), path);
    EXPECT_EQ(messages.lines,
              QStringList{"*Warning: big.jpg has non-standard size (640x480 instead of 592x50)."});

    settings.ShowWarnings = false;
    messages.ClearMessages();
    assign(image(Panel), path);
    EXPECT_TRUE(messages.lines.isEmpty());
}

TEST_F(ComponentCheck, TopDownBitmapOfTheRightSizeIsNoOddity)
{
    // Header of a 109x16 top-down bitmap: negative height.
    QByteArray bmp = BmpBytes(Gradient(109, 16));
    const int32_t negative = -16;
    std::memcpy(bmp.data() + 22, &negative, 4);
    const QString path = dir.createFile("down.bmp", bmp);
    assign(image(Led), path);
    EXPECT_TRUE(messages.lines.isEmpty());
    EXPECT_EQ(image(Led).info[1], 16);
}

TEST_F(ComponentCheck, MissingFileIsRefusedAndTheOldAssignmentStays)
{
    const QString good = dir.createFile("led.bmp", BmpBytes(Gradient(109, 16)));
    assign(image(Led), good);
    set.modified = false;
    const QString missing = dir.file("gone.bmp");
    EXPECT_EQ(ErrorOf([&] { assign(image(Led), missing); }), (missing + " does not exist.").toStdString());
    EXPECT_EQ(image(Led).assignedPath(), good);
    EXPECT_EQ(image(Led).info[0], 109);
    EXPECT_FALSE(set.modified);
}

TEST_F(ComponentCheck, MislabelledImagesAreRefusedWithTheProbesMessage)
{
    const QString png = dir.createFile("picture.bmp", ImageBytes(Gradient(8, 8), "PNG"));
    EXPECT_NE(ErrorOf([&] { assign(image(Led), png); }).find("Bitmap is corrupt."), std::string::npos);
    const QString exif = dir.createFile("photo.jpg", ExifJpeg(Gradient(8, 8)));
    EXPECT_EQ(ErrorOf([&] { assign(image(Led), exif); }), "JPEG has no valid header.");
    EXPECT_FALSE(image(Led).isAssigned());
}

TEST_F(ComponentCheck, DrumAt22050HzIsRefusedEvenWithoutWarnings)
{
    settings.ShowWarnings = false;
    const QString good = dir.createFile("bd.wav", WavBytes(1, 16, 44100, {1, 2, 3}));
    assign(drum(BassDrum), good);
    const QString slow = dir.createFile("slow.wav", WavBytes(1, 16, 22050, {1, 2, 3}));
    EXPECT_EQ(ErrorOf([&] { assign(drum(BassDrum), slow); }),
              (slow + " 's frequency is not 44100 Hz.").toStdString());
    EXPECT_EQ(drum(BassDrum).assignedPath(), good);
    EXPECT_EQ(drum(BassDrum).info[0], 3);
}

TEST_F(ComponentCheck, EightBitStereoDrumIsAssignedWithTwoWarnings)
{
    const QString path = dir.createFile("bd.wav", WavBytes(2, 8, 44100, {1, -1, 2, -2, 3, -3, 4, -4, 5, -5}));
    assign(drum(BassDrum), path);
    EXPECT_EQ(drum(BassDrum).info, (std::array<int32_t, 4>{5, 44100, 8, 2}));
    EXPECT_EQ(messages.lines,
              (QStringList{"*Warning: " + path + " is not 16 bit.", "*Warning: " + path + " is not mono."}));
    EXPECT_EQ(ComponentCells(drum(BassDrum), settings), (QStringList{"", "", "", ""}));
    settings.ShowDrumFormat = true;
    EXPECT_EQ(ComponentCells(drum(BassDrum), settings), (QStringList{"8", "44100", "2", "5"}));
}

TEST_F(ComponentCheck, AiffDrumsAndMislabelledSampleFiles)
{
    const QString aif = dir.createFile("sd.AIF", AiffBytes(1, 16, 44100, {100, -100}));
    assign(drum(BassDrum), aif);
    EXPECT_EQ(drum(BassDrum).info, (std::array<int32_t, 4>{2, 44100, 16, 1}));
    EXPECT_TRUE(messages.lines.isEmpty());

    const QString wavAsAif = dir.createFile("wave.aif", WavBytes(1, 16, 44100, {1, 2}));
    EXPECT_NE(ErrorOf([&] { assign(drum(BassDrum), wavAsAif); }), "no error");
    const QString aiff = dir.createFile("long.aiff", AiffBytes(1, 16, 44100, {1}));
    EXPECT_EQ(ErrorOf([&] { assign(drum(BassDrum), aiff); }), "No valid WAV/AIFF file.");
    EXPECT_EQ(drum(BassDrum).assignedPath(), aif);
}

TEST_F(ComponentCheck, UnassignedRowsShowEmptyCells)
{
    EXPECT_EQ(ComponentCells(image(Led), settings), (QStringList{"", ""}));
    settings.ShowDrumFormat = true;
    EXPECT_EQ(ComponentCells(drum(0), settings), (QStringList{"", "", "", ""}));
}
