#include "controls/SystemViewsShared.h"

namespace {

const TColumnDef kColumns[kColumnIdCount] = {
    {ciName, "Name", 140, false, skShellOrder},
    {ciSize, "Size", 60, true, skSize},
    {ciType, "Type", 130, false, skText},
    {ciModified, "Modified", 110, false, skDate},
    {ciAttributes, "Attributes", 50, true, skText},
    {ciComment, "Comment", 200, false, skText},
    {ciDimension, "Dimension", 70, false, skText},
    {ciColors, "Colors", 60, false, skSlot2},
    {ciSamples, "Samples", 80, true, skSlot0},
    {ciFrequency, "Frequency", 60, true, skSlot1},
    {ciResolution, "Resolution", 70, true, skSlot2},
    {ciSlot3, "", 60, true, skSlot3},
    {ciChannels, "Channels", 60, false, skText},
};

} // namespace

const TColumnDef &ColumnDef(int id)
{
    Assert(id >= 1 && id <= kColumnIdCount, "SystemViewsShared");
    return kColumns[id - 1];
}

std::vector<int> ColumnSet(TColumnType type)
{
    switch (type) {
    case ctFileSystem:
        return {ciName, ciSize, ciType, ciModified, ciAttributes};
    case ctNetwork:
        return {ciName, ciComment};
    case ctImages:
        return {ciName, ciSize, ciDimension, ciColors, ciModified, ciAttributes};
    case ctAudio:
        return {ciName, ciSize, ciFrequency, ciResolution, ciChannels, ciSamples, ciModified, ciAttributes};
    case ctUnknown:
        return {ciName};
    case ctUser:
        break;
    }
    return {};
}
