#pragma once

#include "cli/Cli.h"

// One handler per command; each lives in its own file under cli/.
int CmdCatalogue(TCliContext &ctx);
int CmdAssignments(TCliContext &ctx);
int CmdProbe(TCliContext &ctx);
int CmdPlay(TCliContext &ctx);
int CmdDevices(TCliContext &ctx);
int CmdConvert(TCliContext &ctx);
int CmdCheck(TCliContext &ctx);
int CmdExport(TCliContext &ctx);
int CmdImport(TCliContext &ctx);
int CmdMake(TCliContext &ctx);
int CmdDemo(TCliContext &ctx);
int CmdPrograms(TCliContext &ctx);
int CmdShellMenus(TCliContext &ctx);
