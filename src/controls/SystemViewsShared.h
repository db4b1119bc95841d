#pragma once

#include "platform/Exception.h"
#include "platform/ShellIdList.h"
#include "platform/ShellTypes.h"

#include <QString>
#include <cstdint>
#include <vector>

// Types shared by the shell folder list view, its model and its watch thread.

enum TDisplayMode { dmAll, dmImages, dmAudio };

enum TColumnType { ctFileSystem, ctNetwork, ctUser, ctImages, ctAudio, ctUnknown };
constexpr int kColumnTypeCount = 6;

enum TSystemToolButton { tbRefresh, tbDirUp, tbNewDir, tbIconOptions, tbBack, tbForward };
// A set of tool buttons: bit 0 = tbRefresh ... bit 5 = tbForward.
using TSystemToolButtons = uint32_t;
constexpr TSystemToolButtons ToolButton(TSystemToolButton b)
{
    return TSystemToolButtons(1) << b;
}

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

// The view's own error class.
class ESystemViews : public EModwright {
public:
    using EModwright::EModwright;
};

// Column ids and sort kinds.
enum TColumnId {
    ciName = 1,
    ciSize = 2,
    ciType = 3,
    ciModified = 4,
    ciAttributes = 5,
    ciComment = 6,
    ciDimension = 7,
    ciColors = 8,
    ciSamples = 9,
    ciFrequency = 10,
    ciResolution = 11,
    ciSlot3 = 12, // no column set shows it
    ciChannels = 13,
};
constexpr int kColumnIdCount = 13;

enum TSortKind {
    skShellOrder = 0,
    skSize = 1,
    skDate = 2,
    skText = 3,
    skSlot0 = 4,
    skSlot1 = 5,
    skSlot2 = 6,
    skSlot3 = 7,
};

struct TColumnDef {
    int Id;
    const char *Caption;
    int DefaultWidth;
    bool RightAligned;
    TSortKind SortKind;
};

// The definition of a column id (1 to 13).
const TColumnDef &ColumnDef(int id);
// The column ids of a column set, in order (empty for ctUser: its columns stay as they are).
std::vector<int> ColumnSet(TColumnType type);

// What each row of the view owns. Rows are changed only on the GUI thread, under the
// view's lock; the watch thread reads copies of FileName and LastWriteTime under it.
struct TListItemData {
    TItemIdList RelativePidl; // the item relative to the listed folder
    TItemIdList AbsolutePidl; // the item from the root
    uint32_t Attributes = 0;  // SFGAO flags
    uint32_t SizeLow = 0;     // low 32 bits of the size (find data)
    uint32_t SizeHigh = 0;    // high 32 bits: sizes above 4 GiB sort by their whole value
    TFileTime LastWriteTime = 0;
    bool IsParentLink = false; // the ".." row
    bool Cut = false;          // cut to the clipboard: drawn ghosted
    bool DropHilited = false;  // the target of a drag over the view
    bool Stale = false;        // the file changed or vanished
    QByteArray FileName;       // the name from the find data, as stored on disk
    // Probe results. Images: width, height, bits per pixel. Samples: number of samples,
    // frequency in Hz, resolution in bits, channels.
    int32_t InfoSlots[4] = {0, 0, 0, 0};

    // Row identity that outlives moves within the model (the watch thread names rows by it).
    uint64_t Serial = 0;
    bool HasFindData = false;
    bool DiskEntry = false; // an entry of a folder on disk, ordered by its caption
    // The probe: not asked, waiting for a result, done, or failed with ProbeError.
    enum TProbeState : uint8_t { psNone, psPending, psDone, psFailed } ProbeState = psNone;
    QString ProbeError;
    // What is shown: caption, icon and the texts of the shown columns after the first.
    QString Caption;
    int IconIndex = 0;
    std::vector<QString> SubItems;

    uint64_t Size() const { return (uint64_t(SizeHigh) << 32) | SizeLow; }
    bool IsFolder() const { return (Attributes & SFGAO_FOLDER) != 0; }
};
