#pragma once

#include "platform/ShellIdList.h"

#include <QByteArray>

// The layout of one item of our namespace, after the 16-bit count:
//   byte 0   kind: 'f' a file-system entry, 'h' the home folder, 'c' the computer,
//            'v' a mounted volume
//   byte 1   flags: bit 0 set for a folder (so that items sort folders first without
//            asking the disk again)
//   byte 2.. the entry's name as stored on disk ('f') or the volume's mount path ('v');
//            no terminator, the count gives the length.
enum TShellItemKind : uint8_t {
    sikFileSystemEntry = 'f',
    sikHomeItem = 'h',
    sikComputerItem = 'c',
    sikVolumeItem = 'v',
};

constexpr uint8_t kShellItemFolderFlag = 0x01;
constexpr int kShellItemHeader = 4; // count, kind, flags

// A one-item list.
TItemIdList MakeShellItem(TShellItemKind kind, bool folder, const QByteArray &payload = {});

// Fields of the first item of a list; kind 0 for the terminator or an item too short.
uint8_t ShellItemKind(PCItemIdList item);
bool ShellItemIsFolder(PCItemIdList item);
QByteArray ShellItemPayload(PCItemIdList item);
