#include "cli/CliBuild.h"
#include "cli/CliCommands.h"
#include "cli/CliMessageBoxes.h"
#include "modbuild/ModImport.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <ostream>

// import FOLDER: reads a ModPacker folder as the current assignment and prints
// it as the lines of its section in an assignment file (key=value, in the
// file's key order); the import's messages follow on standard error.
int CmdImport(TCliContext &ctx)
{
    RequireArgs(ctx, 1, 1);
    // Assignments hold full paths.
    const QString folder = QFileInfo(PathArg(ctx.args[0])).absoluteFilePath();
    if (!QFileInfo(folder).isDir()) {
        ctx.err << "The folder " << ctx.args[0] << " does not exist.\n";
        return cliFailed;
    }
    TCliMessageBoxes boxes(ctx.err);
    TCliBuild build;
    ImportModFolder(build.ctx, folder, false);
    const QStringList importMessages = build.messages.lines;

    // The assignment file's own writer gives the lines in its key order.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        throw EModwright("Cannot create a temporary folder.");
    build.set.assignmentFile = scratch.filePath("Assignments.ini");
    const QString name = "Imported";
    build.set.SaveAssignment(name);
    if (boxes.errors)
        return cliFailed;
    for (const QString &line : build.set.AssignmentContents(name))
        ctx.out << line.toStdString() << "\n";
    for (const QString &line : importMessages)
        ctx.err << line.toStdString() << "\n";
    return cliOk;
}
