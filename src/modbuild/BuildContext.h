#pragma once

#include "modbuild/BuildProgress.h"
#include "modbuild/BuildSettings.h"
#include "model/AssignmentSet.h"

// What the mod-building commands work on: the current assignment (with its two
// lists and the messages window), the settings, and the progress display.
struct TBuildContext {
    TAssignmentSet &set;
    const TBuildSettings &settings;
    TBuildProgress &progress;

    TMessages &messages() const { return set.messages(); }
};

// The folder a file browser shows: its file-system path (empty for a virtual
// folder such as "Computer") and the name it is shown under.
struct TBrowserFolder {
    QString path;
    QString displayName;
};
