#include "cli/CliBuild.h"
#include "cli/CliCommands.h"
#include "cli/CliMessageBoxes.h"
#include "modbuild/ComponentCheck.h"
#include "probe/Json.h"

#include <ostream>

// check INDEX FILE: the assignment check of the component with that live-entry
// index (images 0..58, drums 59..104): one JSON line with the measured values and
// the warning lines; exit 1 with the message when the file cannot be assigned.
int CmdCheck(TCliContext &ctx)
{
    RequireArgs(ctx, 2, 2);
    const int index = ParseIntArg(ctx.args[0], "INDEX");
    if (index < 0 || index >= LiveEntryCount)
        throw ECliUsage("INDEX must be 0 to 104");
    TCliMessageBoxes boxes(ctx.err);
    TCliBuild build;
    TAssignmentData &row = index < ImageCount ? build.images.at(index) : build.drums.at(index - ImageCount);
    const QString path = PathArg(ctx.args[1]);
    build.set.AssignFile(row, path); // raises with the check's message

    std::vector<std::string> warnings;
    for (const QString &line : build.messages.lines)
        warnings.push_back(line.toStdString());
    TJsonLine line;
    line.add("index", index).add("name", row.displayName().toStdString()).add("file", ctx.args[1]);
    if (row.isImage)
        line.add("kind", "image")
            .add("width", row.info[0])
            .add("height", row.info[1])
            .add("bits", row.info[2]);
    else
        line.add("kind", "drum")
            .add("frames", row.info[0])
            .add("rate", row.info[1])
            .add("bits", row.info[2])
            .add("channels", row.info[3]);
    line.add("warnings", warnings);
    ctx.out << line.str() << "\n";
    return cliOk;
}
