#pragma once

#include "controls/SystemViewsShared.h"

#include <QString>
#include <vector>

// The texts of the detail columns of the shell folder list view.

// (size + 1023) div 1024 and "KB": 0 bytes 0KB, 1 to 1024 bytes 1KB, 1025 bytes 2KB.
QString FormatSizeKB(uint64_t size);

// Letters for find-data attribute bits, in the order R H S A C E T, then " reparse" and
// " sparse".
QString FormatAttributeLetters(uint32_t fileAttributes);

// A last-write time as local time in the locale's short date and long time, at the two-
// second steps of a DOS date-time; empty for times a DOS date-time cannot hold (before
// 1980 or after 2107).
QString FormatModified(TFileTime time);

// The type text: the type's own name when it has one, else the upper-case extension and
// " File" ("TXT File"), or "File" for a name without an extension.
QString TypeText(const QString &typeName, const QString &fileName);

// Sets the texts of the probe columns (Dimension, Colors, Samples, Frequency, Resolution,
// Channels) of a row whose SubItems match columnIds[1..]. A failed probe shows its message
// in the first probe column that can show it (Dimension; the first of Samples, Frequency
// and Resolution; Channels when no earlier column did); the others stay empty. Rows
// waiting for their probe show nothing yet.
void FillProbeTexts(TListItemData &row, const std::vector<int> &columnIds);

// True for the columns whose text comes from a probe.
bool IsProbeColumn(int columnId);
