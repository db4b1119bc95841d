#include "cli/CliCommands.h"
#include "cli/CliMessageBoxes.h"
#include "model/AssignmentSet.h"

#include <ostream>

namespace {

// The set needs rows and a messages window even for file-only operations.
struct TFileOnlySet {
    explicit TFileOnlySet(const std::string &file) : set(drums, images, messages)
    {
        set.assignmentFile = QString::fromStdString(file);
    }
    TAssignmentRows drums;
    TAssignmentRows images;
    TMessageList messages;
    TAssignmentSet set;
};

} // namespace

int CmdAssignments(TCliContext &ctx)
{
    if (ctx.args.empty())
        throw ECliUsage("missing sub-command");
    const std::string sub = ctx.args[0];
    TCliMessageBoxes boxes(ctx.err);
    if (sub == "list") {
        RequireArgs(ctx, 2, 2);
        TFileOnlySet s(ctx.args[1]);
        for (const QString &name : s.set.ListAssignments())
            ctx.out << name.toStdString() << "\n";
        return cliOk;
    }
    if (sub != "show" && sub != "delete")
        throw ECliUsage("unknown sub-command " + sub);
    RequireArgs(ctx, 3, 3);
    TFileOnlySet s(ctx.args[1]);
    const QString name = QString::fromStdString(ctx.args[2]);
    if (!s.set.ListAssignments().contains(name)) {
        ctx.err << "There is no assignment named \"" << ctx.args[2] << "\" in " << ctx.args[1] << ".\n";
        return cliFailed;
    }
    if (sub == "show") {
        for (const QString &line : s.set.AssignmentContents(name))
            ctx.out << line.toStdString() << "\n";
        return cliOk;
    }
    s.set.DeleteAssignment(name);
    return boxes.errors ? cliFailed : cliOk;
}
