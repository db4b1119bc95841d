#include "cli/CliBuild.h"
#include "cli/CliCommands.h"
#include "demo/DemoMod.h"

#include <QDir>
#include <ostream>

// demo FOLDER: writes the demo mod (59 images, 46 drums) into FOLDER and the
// assignment file FOLDER/Assignments.ini holding it as "Demo"; prints that
// file's path. Exit 1, with the reason, when the folder can't be written.
int CmdDemo(TCliContext &ctx)
{
    RequireArgs(ctx, 1, 1);
    const QString folder = AbsolutePathArg(ctx.args[0]);
    WriteDemo(folder); // raises with the message RunCli prints
    ctx.out << QDir::cleanPath(folder + "/" + DemoAssignmentFileName).toStdString() << "\n";
    return cliOk;
}
