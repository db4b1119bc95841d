#pragma once

#include "modbuild/BuildContext.h"

#include <functional>

// The save commands of the component lists: assigned files written into the
// folder of the file browser beside the list, named by ComponentFileName with
// the list's UseVirtualNames / UseOtherExt settings.

// The batch save ("Save all", or the rows dropped onto the browser with
// selectedOnly and isSelected telling which). Asks before replacing files, shows
// the progress, and shows the messages window at the end when it holds lines.
void SaveAssignedFiles(const TBuildContext &ctx, const TAssignmentRows &rows, bool selectedOnly,
                       const std::function<bool(const TAssignmentData &)> &isSelected,
                       const TBrowserFolder &folder);

// The single save of one row ("Save ... as ..."); a virtual folder is refused
// as in the batch save.
void SaveAssignedFileAs(const TBuildContext &ctx, const TAssignmentData &row, const TBrowserFolder &folder);
