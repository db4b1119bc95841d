#include "model/Catalogue.h"

#include "platform/Exception.h"

#include <memory>
#include <vector>

namespace {

struct TCatalogueState {
    std::vector<std::unique_ptr<TLiveEntry>> entries; // 105 once built
    std::array<int, PanelCount> panelMap{};
    std::array<int, FramesCount> framesMap{};
    std::array<int, SliderCount> sliderMap{};
};

TCatalogueState &State()
{
    static TCatalogueState state;
    return state;
}

void CheckIndex(int index, int count)
{
    Assert(index >= 0 && index < count, "ReBirthTypes");
}

} // namespace

const TImageRecord &ImageRecord(int imageIndex)
{
    CheckIndex(imageIndex, ImageCount);
    if (imageIndex < FirstFramesImage)
        return PanelTable[imageIndex];
    if (imageIndex < FirstSliderImage)
        return FramesTable[imageIndex - FirstFramesImage];
    return SliderTable[imageIndex - FirstSliderImage];
}

TImageKind ImageKindOf(int imageIndex)
{
    CheckIndex(imageIndex, ImageCount);
    if (imageIndex < FirstFramesImage)
        return ikPanel;
    return imageIndex < FirstSliderImage ? ikFrames : ikSlider;
}

int KindIndexOf(int imageIndex)
{
    switch (ImageKindOf(imageIndex)) {
    case ikPanel: return imageIndex;
    case ikFrames: return imageIndex - FirstFramesImage;
    case ikSlider: return imageIndex - FirstSliderImage;
    }
    return -1;
}

const TImageRecord &TAllImages::record() const
{
    switch (kind) {
    case ikPanel: CheckIndex(kindIndex, PanelCount); return PanelTable[kindIndex];
    case ikFrames: CheckIndex(kindIndex, FramesCount); return FramesTable[kindIndex];
    case ikSlider: CheckIndex(kindIndex, SliderCount); return SliderTable[kindIndex];
    }
    throw EAssertionFailed("ReBirthTypes");
}

void CreateCatalogue()
{
    TCatalogueState &s = State();
    if (!s.entries.empty())
        return;
    std::vector<std::unique_ptr<TLiveEntry>> entries;
    entries.reserve(LiveEntryCount);
    for (int i = 0; i < PanelCount; ++i) {
        s.panelMap[i] = int(entries.size());
        entries.push_back(std::make_unique<TAllImages>(ikPanel, i));
    }
    for (int i = 0; i < FramesCount; ++i) {
        s.framesMap[i] = int(entries.size());
        entries.push_back(std::make_unique<TAllImages>(ikFrames, i));
    }
    for (int i = 0; i < SliderCount; ++i) {
        s.sliderMap[i] = int(entries.size());
        entries.push_back(std::make_unique<TAllImages>(ikSlider, i));
    }
    Assert(entries.size() == size_t(ImageCount), "ReBirthTypes");
    for (int i = 0; i < DrumCount; ++i)
        entries.push_back(std::make_unique<TAllDrums>(i));
    s.entries = std::move(entries);
}

void DestroyCatalogue()
{
    State().entries.clear();
}

bool CatalogueCreated()
{
    return !State().entries.empty();
}

TLiveEntry &LiveEntry(int index)
{
    TCatalogueState &s = State();
    Assert(!s.entries.empty(), "ReBirthTypes");
    CheckIndex(index, LiveEntryCount);
    return *s.entries[size_t(index)];
}

TAllImages &ImageEntry(int imageIndex)
{
    CheckIndex(imageIndex, ImageCount);
    return static_cast<TAllImages &>(LiveEntry(imageIndex));
}

TAllDrums &DrumEntry(int drumIndex)
{
    CheckIndex(drumIndex, DrumCount);
    return static_cast<TAllDrums &>(LiveEntry(ImageCount + drumIndex));
}

int PanelImage(int panelIndex)
{
    CheckIndex(panelIndex, PanelCount);
    Assert(CatalogueCreated(), "ReBirthTypes");
    return State().panelMap[panelIndex];
}

int FramesImage(int framesIndex)
{
    CheckIndex(framesIndex, FramesCount);
    Assert(CatalogueCreated(), "ReBirthTypes");
    return State().framesMap[framesIndex];
}

int SliderImage(int sliderIndex)
{
    CheckIndex(sliderIndex, SliderCount);
    Assert(CatalogueCreated(), "ReBirthTypes");
    return State().sliderMap[sliderIndex];
}

QString ModFileName(const TLiveEntry &entry)
{
    if (entry.isImage())
        return QString::fromLatin1(static_cast<const TAllImages &>(entry).record().fileName);
    return DrumFileName(static_cast<const TAllDrums &>(entry).drumIndex);
}

QString Description(const TLiveEntry &entry)
{
    if (entry.isImage())
        return QString::fromLatin1(static_cast<const TAllImages &>(entry).record().description);
    return DrumName(static_cast<const TAllDrums &>(entry).drumIndex);
}

bool ExpectedSize(const TAllImages &entry, int &width, int &height)
{
    const TImageRecord &r = entry.record();
    width = r.width;
    height = r.height;
    return true;
}

QString DrumName(int drumIndex)
{
    CheckIndex(drumIndex, DrumCount);
    return QString::fromLatin1(DrumTable[size_t(drumIndex)].name);
}

QString DrumCode(int drumIndex)
{
    CheckIndex(drumIndex, DrumCount);
    return QString::fromLatin1(DrumTable[size_t(drumIndex)].code);
}

QString DrumFileName(int drumIndex)
{
    CheckIndex(drumIndex, DrumCount);
    return QString::fromLatin1(DrumTable[size_t(drumIndex)].fileName);
}
