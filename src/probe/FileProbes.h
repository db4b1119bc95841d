#pragma once

#include "probe/AudioFormat.h"
#include "probe/ImageInfo.h"

#include <string>
#include <string_view>

// The probes of a named file, without Qt: the kind by extension, then the header probe of
// that kind on the file. The Qt functions GetImageInfo and GetAudioInfo (formats/Probes.h)
// and the command line's "probe" both answer through these.

// The kinds a name's extension selects. The extension runs from the last dot of the last
// path component, dot included, and compares ignoring ASCII case: ".bmp", ".jpg", ".gif",
// ".aif", ".wav" (".jpeg", ".aiff", ".aifc" are none of them).
enum class TFileKind { Other, Bmp, Jpeg, Gif, Aiff, Wave };
TFileKind KindOfName(std::string_view Name);
inline bool IsImageKind(TFileKind Kind)
{
    return Kind == TFileKind::Bmp || Kind == TFileKind::Jpeg || Kind == TFileKind::Gif;
}
inline bool IsAudioKind(TFileKind Kind)
{
    return Kind == TFileKind::Aiff || Kind == TFileKind::Wave;
}

// Opens Path and runs the image probe its extension names; any other extension raises
// "No valid BMP/JPG/GIF file.". A failure to open raises "Cannot open file "<Shown>".
// <reason>"; the BMP probe's own failures carry a second line (after CR LF) with the file's
// absolute path in parentheses.
TImageInfo ProbeImageFile(const char *Path, std::string_view Shown);
// Opens Path as a sample file (the refusals of TOpenAs::Sample) and reads the format of a
// ".aif" or ".wav" file from its headers (Data stays null); any other extension raises
// "No valid WAV/AIFF file.".
TAudioFormat ProbeAudioFile(const char *Path, std::string_view Shown);

// Path made absolute against the current folder and cleaned without looking at the disk:
// empty and "." components dropped, ".." removing the one before it; a ".." with nothing
// before it stays ("/../a" stays so), as QFileInfo::absoluteFilePath gives it.
std::string AbsolutePath(std::string_view Path);
