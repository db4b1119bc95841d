#pragma once

#include "platform/Exception.h"

#include <iosfwd>
#include <string>
#include <vector>

// The command-line companion's frame: one function per command, output for
// machines on `out` (one JSON object or text line per result), the system's
// messages on `err`. Exit codes: 0 success, 1 the operation failed, 2 usage.
enum TCliExit { cliOk = 0, cliFailed = 1, cliUsage = 2 };

struct TCliContext {
    std::vector<std::string> args; // the words after the command name
    std::ostream &out;
    std::ostream &err;
};

// A wrong command line; RunCli prints the message and the command's usage.
class ECliUsage : public EModwright {
public:
    using EModwright::EModwright;
};

using TCliHandler = int (*)(TCliContext &);

struct TCliCommand {
    const char *name;
    const char *usage;   // arguments after the name
    const char *summary; // one line for --help
    TCliHandler run;
};

// The table of commands, in --help order (CliCommands.cpp).
const std::vector<TCliCommand> &CliCommands();

int RunCli(const std::vector<std::string> &argv, std::ostream &out, std::ostream &err);

// Helpers for commands.
void RequireArgs(const TCliContext &ctx, size_t min, size_t max);
int ParseIntArg(const std::string &text, const char *what);
