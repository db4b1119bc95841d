#include "preview/GlanceLayout.h"

#include "model/Catalogue.h"

#include <cstring>

// Later rows are drawn over earlier ones. "Selector 1" stands 5 pixels left of the others.
const std::array<TPanelPlace, PanelPlaceCount> PanelPlaces = {{
    {"Left wood", 4, 0, 0},
    {"Right wood", 4, 608, 0},
    {"Top Bar", 0, 16, 0},
    {"Selector 1", 8, 81, 50},
    {"Pattern box 303 1", 1, 16, 50},
    {"TB303 1", 9, 90, 50},
    {"Mixer 303 1", 2, 456, 50},
    {"Master Mixer", 3, 526, 50},
    {"Selector 2", 8, 86, 165},
    {"Pattern box 303 2", 1, 16, 165},
    {"TB303 2", 9, 90, 165},
    {"Mixer 303 2", 2, 456, 165},
    {"PCF", 6, 526, 148},
    {"Selector 808", 8, 86, 280},
    {"Pattern box 808", 1, 16, 280},
    {"TB808", 10, 90, 280},
    {"Mixer 808", 2, 456, 280},
    {"Delay", 5, 526, 259},
    {"Distortion", 7, 526, 352},
    {"Selector 909", 8, 86, 395},
    {"Pattern box 909", 1, 16, 395},
    {"TB909", 11, 90, 395},
    {"Mixer 909", 2, 456, 395},
    {"Compressor", 12, 526, 417},
}};

namespace {

using TPlaces = std::vector<TControlPlace>;

// A run of one element along a row or a column.
void Row(TPlaces &places, const char *file, int y, std::initializer_list<int> xs)
{
    for (int x : xs)
        places.push_back({file, x, y});
}
void Column(TPlaces &places, const char *file, int x, std::initializer_list<int> ys)
{
    for (int y : ys)
        places.push_back({file, x, y});
}

TPlaces Transport()
{
    TPlaces p;
    p.push_back({"12552.jpg", 11, 13});
    Row(p, "12041.jpg", 2, {39, 74});
    Row(p, "12015.jpg", 27, {44, 53, 62, 271, 280, 289, 329, 338, 347, 372, 381, 390});
    for (int x : {73, 300, 358, 401}) {
        p.push_back({"12019.jpg", x, 26});
        p.push_back({"12020.jpg", x, 35});
    }
    p.push_back({"12016.jpg", 163, 2});
    p.push_back({"12551.jpg", 315, 2});
    const char *transport[] = {"12559.jpg", "12560.jpg", "12561.jpg", "12562.jpg", "12563.jpg"};
    for (int i = 0; i < 5; ++i)
        p.push_back({transport[i], 96 + 32 * i, 21});
    return p;
}

TPlaces Pattern()
{
    return {{"12554.jpg", 1, 20},  {"12555.jpg", 1, 59},  {"12556.jpg", 5, 4},   {"12571.jpg", 3, 93},
            {"12015.jpg", 36, 95}, {"12015.jpg", 45, 95}, {"12019.jpg", 56, 94}, {"12020.jpg", 56, 103}};
}

TPlaces Mix()
{
    TPlaces p;
    p.push_back({"12550.jpg", 3, 4});
    Column(p, "12040.jpg", 42, {19, 37, 55});
    p.push_back({"12552.jpg", 10, 25});
    p.push_back({"12552.jpg", 42, 79});
    p.push_back({"12558.jpg", 51, 4});
    p.push_back({"12032.jpg", 10, 59});
    return p;
}

TPlaces Master()
{
    return {{"12557.jpg", 16, 25}, {"12557.jpg", 50, 25}, {"12040.jpg", 42, 82}, {"12032.jpg", 33, 25}};
}

// The first seven rows of the delay, PCF and distortion-like effect panels.
TPlaces EffectHead()
{
    return {{"12066.jpg", 3, 3},   {"12067.jpg", 63, 3},  {"12015.jpg", 9, 23}, {"12015.jpg", 18, 23},
            {"12019.jpg", 29, 22}, {"12020.jpg", 29, 31}, {"12017.jpg", 49, 22}};
}

TPlaces Delay()
{
    TPlaces p = EffectHead();
    Row(p, "12552.jpg", 58, {12, 53});
    return p;
}

TPlaces Pcf()
{
    TPlaces p = EffectHead();
    Row(p, "12030.jpg", 55, {5, 23, 42, 61});
    return p;
}

TPlaces Distortion()
{
    TPlaces p = {{"12066.jpg", 3, 3}, {"12067.jpg", 63, 3}};
    Row(p, "12552.jpg", 28, {12, 53});
    return p;
}

TPlaces Tb303()
{
    TPlaces p;
    p.push_back({"12504.jpg", 24, 10});
    p.push_back({"12510.jpg", 20, 74});
    p.push_back({"12502.jpg", 18, 96});
    p.push_back({"12502.jpg", 328, 62});
    p.push_back({"12502.jpg", 294, 58});
    Row(p, "12501.jpg", 89, {52, 73, 94, 115, 136, 157, 178, 199, 224, 249, 274, 299});
    p.push_back({"12503.jpg", 325, 90});
    Row(p, "12505.jpg", 81, {52, 73, 94, 115, 136, 157, 178, 199, 224, 249, 274, 299});
    p.push_back({"12505.jpg", 246, 59});
    p.push_back({"12505.jpg", 284, 59});
    p.push_back({"12506.jpg", 22, 66});
    Row(p, "12506.jpg", 55, {62, 83, 125, 146, 167});
    Row(p, "12507.jpg", 12, {73, 106, 139, 172, 205, 238});
    Row(p, "12509.jpg", 63, {63, 84, 126, 147, 168});
    Row(p, "12015.jpg", 25, {330, 339});
    return p;
}

TPlaces Tr808()
{
    TPlaces p;
    Row(p, "12521.jpg", 9, {14, 36, 58, 80, 102, 124, 146, 168, 190, 212, 234, 256});
    Row(p, "12522.jpg", 30, {36, 58, 80, 102, 124, 212});
    Row(p, "12522.jpg", 53, {36, 58, 212, 234});
    Row(p, "12523.jpg", 55, {81, 103, 125, 147, 169});
    p.push_back({"12525.jpg", 306, 41});
    return p;
}

TPlaces Tr909()
{
    TPlaces p;
    Row(p, "12565.jpg", 28, {9, 30, 50, 72, 92, 114, 134, 156, 176, 198, 218, 240, 260, 302, 324, 344});
    Row(p, "12565.jpg", 54, {30, 50, 72, 92, 114, 156, 198, 282, 302, 324, 344});
    p.push_back({"12565.jpg", 9, 76});
    p.push_back({"12568.jpg", 8, 93});
    return p;
}

TPlaces Compressor()
{
    TPlaces p = {{"12066.jpg", 3, 3}, {"12067.jpg", 63, 3}, {"12570.jpg", 8, 25}};
    Row(p, "12552.jpg", 56, {12, 53});
    return p;
}

} // namespace

const std::vector<TControlPlace> &PanelControls(int panelIndex)
{
    static const std::array<TPlaces, PanelCount> tables = {
        Transport(), Pattern(), Mix(),   Master(), TPlaces{},    Delay(),   Pcf(),     Distortion(),
        TPlaces{},   Tb303(),   Tr808(), Tr909(),  Compressor(), TPlaces{}, TPlaces{},
    };
    static const TPlaces none;
    return panelIndex >= 0 && panelIndex < PanelCount ? tables[size_t(panelIndex)] : none;
}

int ImageIndexOfFile(const char *fileName)
{
    for (int i = FirstFramesImage; i < ImageCount; ++i)
        if (std::strcmp(ImageRecord(i).fileName, fileName) == 0)
            return i;
    return -1;
}

const std::array<TDrumRegion, DrumRegionCount> DrumRegions = {{
    // 808 steps: Bassdrum, Snare Snappy 1, Lo/Mid/Hi Tom, Lo/Mid/Hi Conga, Rimshot,
    // Handclaps, Claves, Maracas, Cowbell, Cymbal, Open Hihat, Closed Hihat.
    {106, 370, 363, 390, 16, 12, {1, 14, 10, 13, 8, 9, 12, 7, 19, 5, 4, 11, 2, 6, 18, 3}},
    // The row above them: Snare Snappy 2 to 4, Snare Tone 1 to 5.
    {106, 352, 364, 369, 8, 0, {15, 16, 17, 20, 21, 22, 23, 24}},
    // 909 steps: Bassdrum 1 to 4, Snare Snappy 1 to 3, Lo/Mid/Hi Tom, Rimshot, Handclaps,
    // Closed Hihat, Open Hihat, Crash, Ride.
    {118, 480, 458, 499, 16, 18, {25, 26, 27, 28, 43, 44, 45, 33, 34, 32, 37, 31, 30, 35, 29, 36}},
    // The row above them: 909 Snare Tone 1 to 5.
    {122, 465, 241, 478, 5, 0, {38, 39, 40, 41, 42}},
    // Right of the transport bar: the start-up sound.
    {459, 1, 606, 48, 1, 0, {0}},
}};

int DrumAt(int x, int y)
{
    for (const TDrumRegion &r : DrumRegions) {
        if (x < r.left || x > r.right || y < r.top || y > r.bottom)
            continue;
        const double segment = double(r.right - r.left + 1) / r.segments;
        int s = int((x - r.left) / segment);
        if (s >= r.segments)
            s = r.segments - 1;
        // The step buttons are narrower than their segments: the rest is a gap.
        if (r.hotWidth > 0 && x - r.left - 1 >= s * ((r.right - r.left - 1) / r.segments) + r.hotWidth)
            return -1;
        return r.drums[size_t(s)];
    }
    return -1;
}
