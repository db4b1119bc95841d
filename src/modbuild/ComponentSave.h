#pragma once

#include "modbuild/BuildSettings.h"
#include "model/AssignmentData.h"
#include "model/Messages.h"
#include "platform/SafeDir.h"

// Writing an assigned file under a destination name whose extension decides the
// format. Images: same extension as the source, a byte copy (a JPEG source must
// carry the JFIF signature, and a 128-byte MacBinary header is dropped); BMP to
// anything else, a baseline JPEG at JpegCompressionRatio; anything else to
// another extension, the source is taken as JPEG and written as a 24-bit BMP.
// Drums: always rebuilt as 16-bit mono, AIFF for ".aif" and WAV otherwise, at
// the source's rate and length. Nothing is scaled or resampled.
//
// The file is written under a temporary name in the destination folder and
// renamed into place when complete, so a failure never leaves a truncated file
// under the destination name and an existing file survives it.
//
// Never raises for bad input: each failure becomes one line in the messages
// window holding the error's message. Returns whether the destination was written
// (false also when the component has no assigned file).
bool SaveAssignedFile(const TAssignmentData &row, const QString &destination, TMessages &messages,
                      const TBuildSettings &settings);
// The same into the file called name inside an open folder, through its handle:
// the temporary file is made there with O_EXCL and renamed over the name, so a
// link in the name's place is replaced, never followed.
bool SaveAssignedFile(const TAssignmentData &row, const TSafeDir &folder, const QString &name,
                      TMessages &messages, const TBuildSettings &settings);

// The file name (without folder) a save command gives a component: its display
// name (image description, drum name) + ".jpg" / ".aif" with useVirtualNames, its
// packer file name otherwise; useOtherExt then puts ".bmp" / ".wav" instead.
QString ComponentFileName(const TAssignmentData &row, bool useVirtualNames, bool useOtherExt);

// Copies a file byte for byte from an offset, in blocks of 16385 bytes, into a
// temporary file beside the destination that is renamed over it when complete.
// Raises EModwright ("Cannot open file ...", "Cannot create file ...",
// "Cannot write file ...") and leaves the destination untouched on failure.
void CopyFileAtomically(const QString &source, const QString &destination, qint64 offset = 0);
