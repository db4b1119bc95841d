#pragma once

#include "formats/AudioFile.h"
#include "probe/ImageInfo.h"

#include <QImage>
#include <QString>

class QIODevice;

// What the file browser, the assignment checks and the viewers ask of a file without
// decoding it: which kind it is by extension, its image size and depth, its sample format.
// Extensions compare as whole strings including the dot, ignoring case.

// ".bmp", ".jpg", ".gif".
bool IsImageFile(const QString &FileName);
// ".aif", ".wav". (".aiff", ".aifc" and ".afc" are not among them.)
bool IsAudioFile(const QString &FileName);

// Opens the file and runs the probe its extension names: ".bmp", ".jpg" or ".gif"; any
// other extension: "No valid BMP/JPG/GIF file.". A failure to open raises
// "Cannot open file "<path>". <reason>"; the BMP probe's own failures carry a second line
// with the full file name in parentheses.
void GetImageInfo(const QString &FileName, TImageInfo &Info);
TImageInfo GetImageInfo(const QString &FileName);

// The sample format of a ".aif" (TAIFFFile) or ".wav" (TWaveFile) file; any other extension:
// "No valid WAV/AIFF file.". Their failures pass through unchanged. The file is closed
// again before the call returns, so Data is always null.
void GetAudioInfo(const QString &FileName, TAudioFormat &Format);
TAudioFormat GetAudioInfo(const QString &FileName);

// The JFIF signature test on a stream positioned at the start of a file: true when the file
// starts with FF D8 FF E0 and "JFIF" at 6, or has them at 128 behind a MacBinary header.
// Leaves the stream at the JPEG data (start, or start + 128) on success, at the start on
// failure. An EXIF file (FF D8 FF E1) is refused.
bool CheckJpegHeader(QIODevice &Stream);

// Loads a ".bmp" or ".jpg" file for display. On success returns true with Picture holding
// the image. A file that cannot be opened or decoded clears Picture, leaves the reason in
// LastLoadError() and returns false. Any other extension (".jpeg" too), or a ".jpg" without
// a JFIF signature, returns false leaving Picture as it was and no error text. Never raises.
bool LoadImageFile(const QString &FileName, QImage &Picture);
// The reason the last LoadImageFile of this thread failed; empty after a success.
QString LastLoadError();
