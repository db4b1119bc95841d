#pragma once

#include <QString>
#include <array>
#include <cstdint>

class QImage;
class TFrameImage;

// The built-in, read-only description of a mod: 59 images (panels, frame
// strips, sliders) and 46 drums, each with the file name the packer expects,
// plus one live entry per component holding the path the user assigned.

constexpr int ImageCount = 59;
constexpr int PanelCount = 15;
constexpr int FramesCount = 41;
constexpr int SliderCount = 3;
constexpr int DrumCount = 46;
constexpr int LiveEntryCount = ImageCount + DrumCount;
constexpr int FirstFramesImage = PanelCount;                 // 15
constexpr int FirstSliderImage = PanelCount + FramesCount;   // 56

enum TImageKind : uint8_t { ikFrames = 0, ikSlider = 1, ikPanel = 2 };

// Fields every image record starts with.
struct TImageRecord {
    const char *fileName;    // ModPacker file name, e.g. "12015.jpg"
    int32_t width;           // pixel size the whole file must have
    int32_t height;
    const char *description; // display name
    int32_t frameWidth;      // size of one frame; panels and sliders: the whole size
    int32_t frameHeight;
};

struct TFramesRecord : TImageRecord {
    int32_t frames;
    bool vertical; // frames stacked top to bottom, else left to right
    bool twoState; // toggles on/off rather than showing a momentary press
};

struct TSliderRecord : TImageRecord {
    int32_t thumb; // slider kind index of the thumb running in this track; -1: is a thumb
};

struct TDrumRecord {
    const char *fileName; // e.g. "TR808BD.aif"
    const char *name;     // display name
    const char *code;     // instrument code, "" for the start-up sound
};

extern const std::array<TImageRecord, PanelCount> PanelTable;
extern const std::array<TFramesRecord, FramesCount> FramesTable;
extern const std::array<TSliderRecord, SliderCount> SliderTable;
extern const std::array<TDrumRecord, DrumCount> DrumTable;

// One live entry per component: the assigned file (empty: nothing assigned).
class TLiveEntry {
public:
    virtual ~TLiveEntry() = default;
    QString path;
    virtual bool isImage() const = 0;
};

class TAllImages : public TLiveEntry {
public:
    TAllImages(TImageKind kind, int kindIndex) : kind(kind), kindIndex(kindIndex) {}
    bool isImage() const override { return true; }

    TImageKind kind;
    int32_t kindIndex;
    // Time stamp of the file as last loaded by the preview; -1 when none was.
    int64_t fileAge = -1;
    // Made and freed by the preview; the catalogue only carries them.
    QImage *picture = nullptr;
    TFrameImage *frameImage = nullptr;

    const TImageRecord &record() const;
};

class TAllDrums : public TLiveEntry {
public:
    explicit TAllDrums(int drumIndex) : drumIndex(drumIndex) {}
    bool isImage() const override { return false; }
    int32_t drumIndex;
};

// Builds the 105 live entries and the kind maps; calling it again does nothing.
void CreateCatalogue();
// Frees the live entries when they were built.
void DestroyCatalogue();
bool CatalogueCreated();

// Live entry 0..104: images by image index, then drums at 59 + drum index.
TLiveEntry &LiveEntry(int index);
TAllImages &ImageEntry(int imageIndex);
TAllDrums &DrumEntry(int drumIndex);

// Kind maps: kind index -> image index.
int PanelImage(int panelIndex);
int FramesImage(int framesIndex);
int SliderImage(int sliderIndex);

QString ModFileName(const TLiveEntry &entry);
QString Description(const TLiveEntry &entry);
bool ExpectedSize(const TAllImages &entry, int &width, int &height);

QString DrumName(int drumIndex);
QString DrumCode(int drumIndex);
QString DrumFileName(int drumIndex);

// Image index -> its kind and kind index, without the live entries.
TImageKind ImageKindOf(int imageIndex);
int KindIndexOf(int imageIndex);
const TImageRecord &ImageRecord(int imageIndex);
