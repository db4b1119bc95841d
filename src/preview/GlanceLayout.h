#pragma once

#include <QString>
#include <array>
#include <vector>

// Where the preview draws the mod: the 24 panel places of the synthesizer's window, the
// controls on each panel image, and the click regions of the drum step buttons. Places
// are in the preview's client coordinates; control offsets are from the panel's corner.

constexpr int GlanceWidth = 624;
constexpr int GlanceHeight = 510;

struct TPanelPlace {
    const char *name;
    int panel; // catalogue panel index
    int x, y;
};
constexpr int PanelPlaceCount = 24;
extern const std::array<TPanelPlace, PanelPlaceCount> PanelPlaces;

// One control on a panel: a frame strip or a slider track, by its packer file name.
struct TControlPlace {
    const char *fileName;
    int dx, dy;
};
// The controls of a panel image, in creation order (empty for the wooden side panel,
// the selector bar and the panels that are not drawn).
const std::vector<TControlPlace> &PanelControls(int panelIndex);

// The image index of a frame strip or slider by its packer file name; -1 if none.
int ImageIndexOfFile(const char *fileName);

struct TDrumRegion {
    int left, top, right, bottom; // inclusive
    int segments;
    int hotWidth;              // clickable pixels at the start of each segment; 0: all of it
    std::array<int, 16> drums; // catalogue drum index per segment
};
constexpr int DrumRegionCount = 5;
extern const std::array<TDrumRegion, DrumRegionCount> DrumRegions;

// The drum whose step button lies under the point; -1 for none (also in the gaps
// between two step buttons).
int DrumAt(int x, int y);
