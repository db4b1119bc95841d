#pragma once

#include "model/AssignmentData.h"

#include <QString>
#include <QStringList>

// What a component list shows of a row and how it orders rows.
//
// Images: caption = description; sub-items "%dx%d", "%dbit", mod name.
// Drums: caption = drum name; sub-items type (the drum's code), then while
// formats are shown resolution, sample rate, channels and sample frames, and
// last the mod name. Measured values are empty while nothing is assigned.

namespace ComponentRows {

QString Caption(const TAssignmentData &row);
// The mod name: the packer file name up to its first dot ("12015", "TR808BD").
QString ModName(const TAssignmentData &row);
QStringList ImageSubItems(const TAssignmentData &row);
QStringList DrumSubItems(const TAssignmentData &row, bool showFormats);
QStringList SubItems(const TAssignmentData &row, bool showFormats);
// Text of column `column` (0 = caption); empty past the last sub-item.
QString ColumnText(const TAssignmentData &row, int column, bool showFormats);

// Three-way comparisons for a sort by column k. Ties on k != 0, and rows with
// fewer sub-items than k, fall back to the captions; `reverse` turns the final
// result round (ties included).
int CompareImages(const TAssignmentData &a, const TAssignmentData &b, int k, bool reverse);
int CompareDrums(const TAssignmentData &a, const TAssignmentData &b, int k, bool showFormats, bool reverse);

// Exact comparison, UTF-16 code unit by code unit, shorter first on equal beginnings.
int CompareExact(const QString &a, const QString &b);
// Letters a to z compare as A to Z; every other character by its code.
int CompareAsciiNoCase(const QString &a, const QString &b);

// Sort markers on column captions: a caption of at least two characters that
// ends in "+" (ascending) or "-" (descending) carries one.
bool HasSortMarker(const QString &caption);
QString WithoutSortMarker(const QString &caption);
QString WithSortMarker(const QString &caption, bool descending);

// The text the status bar shows for a component row.
QString StatusText(const TAssignmentData &row);

} // namespace ComponentRows
