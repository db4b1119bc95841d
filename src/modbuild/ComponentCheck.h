#pragma once

#include "modbuild/BuildSettings.h"
#include "model/AssignmentData.h"
#include "model/Messages.h"

#include <QStringList>

class TAssignmentSet;

// The check that runs whenever a file is assigned to a component: it measures
// the file (an image's width, height and depth; a drum's frames, rate, bits
// and channels) into row.info and adds "*Warning:" lines for what ReBirth does
// not expect. It raises EModwright, before anything is recorded, for a file
// that cannot be used: a missing one ("%s does not exist."), one the probes
// refuse (their message), or a drum not at 44100 Hz. Recording the path and
// marking the set modified is the set's part (TAssignmentSet::AssignFile).
void CheckAssignedFile(TAssignmentData &row, const QString &path, TMessages &messages,
                       const TBuildSettings &settings);

// Makes CheckAssignedFile the set's file check. The settings are read at each
// check, so changes apply at once; they must outlive the set's use of them.
void InstallComponentCheck(TAssignmentSet &set, const TBuildSettings &settings);

// The texts of a row's measured-value cells: images "Dimension" ("%dx%d") and
// "Colors" ("%dbit"); drums "Resolution", "Frequency", "Channels" and "Samples"
// as decimal numbers when ShowDrumFormat is on. Empty texts while unassigned.
QStringList ComponentCells(const TAssignmentData &row, const TBuildSettings &settings);
