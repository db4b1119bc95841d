#pragma once

#include "cli/Cli.h"

#include <sstream>
#include <string>
#include <vector>

// Runs modwright-cli in-process and keeps what it printed.
struct TCliRun {
    int exitCode = -1;
    std::string out;
    std::string err;

    std::vector<std::string> outLines() const
    {
        std::vector<std::string> lines;
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
};

inline TCliRun RunCliWith(std::vector<std::string> args)
{
    args.insert(args.begin(), "modwright-cli");
    std::ostringstream out, err;
    TCliRun run;
    run.exitCode = RunCli(args, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}
