#pragma once

#include "cli/Cli.h"

// One handler per command; each lives in its own file under cli/.
int CmdCatalogue(TCliContext &ctx);
int CmdAssignments(TCliContext &ctx);
