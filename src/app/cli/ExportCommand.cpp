#include "cli/CliBuild.h"
#include "cli/CliCommands.h"
#include "cli/CliMessageBoxes.h"
#include "common/PathUtils.h"
#include "modbuild/ModPackerFiles.h"

#include <ostream>

// export ASSIGNMENT_FILE NAME FOLDER [--quality N]: the ModPacker folder layout of
// a saved assignment, written into FOLDER (made when missing) as "Export Mod
// folder" does, with the assignment's own mod texts. Exit 1 when a component
// could not be loaded or converted, or nothing was written.
int CmdExport(TCliContext &ctx)
{
    const TCliOptions options = ParseOptions(ctx.args, {"--quality"});
    if (options.words.size() != 3)
        throw ECliUsage(options.words.size() < 3 ? "missing arguments" : "too many arguments");
    TCliMessageBoxes boxes(ctx.err);
    TCliBuild build;
    if (options.has("--quality"))
        build.settings.JpegCompressionRatio = ParseQuality(options.values.at("--quality"));
    if (!build.Load(options.words[0], options.words[1], ctx.err))
        return cliFailed;
    // Loading reports the components it could not assign.
    bool failed = false;
    for (const QString &line : build.messages.lines)
        failed = failed || line.startsWith("Couldn't make the assignment for ");
    build.PrintMessages(ctx.err);
    build.messages.ClearMessages();

    const QString folder = PathArg(options.words[2]);
    if (!CreateFolders(folder)) {
        ctx.err << "Cannot create the folder " << options.words[2] << ".\n";
        return cliFailed;
    }
    const bool written = CreateModPackerFiles(build.ctx, folder); // raises for the text files
    build.PrintMessages(ctx.err);
    return written && !failed && !build.messages.HasMessages() && boxes.errors == 0 ? cliOk : cliFailed;
}
