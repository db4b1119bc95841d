#include "probe/ProbeCommand.h"

#include "cli/CliCommands.h"

#include <limits>
#include <ostream>
#include <vector>

// probe FILE...: answered by the Qt-free probe that the command-line front runs too.
int CmdProbe(TCliContext &ctx)
{
    RequireArgs(ctx, 1, std::numeric_limits<size_t>::max());
    std::vector<const char *> files;
    files.reserve(ctx.args.size());
    for (const std::string &arg : ctx.args)
        files.push_back(arg.c_str());
    const bool allProbed = ProbeFiles(files, [&ctx](std::string_view block) {
        ctx.out.write(block.data(), std::streamsize(block.size()));
    });
    ctx.out.flush();
    return allProbed ? cliOk : cliFailed;
}
