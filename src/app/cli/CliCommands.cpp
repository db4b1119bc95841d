#include "cli/CliCommands.h"

const std::vector<TCliCommand> &CliCommands()
{
    static const std::vector<TCliCommand> commands = {
        {"catalogue", "--json", "The 105 components, one JSON line each, in live-entry order.", CmdCatalogue},
        {"assignments", "list FILE | show FILE NAME | delete FILE NAME",
         "The saved assignments of an assignment file: their names, one's lines, or delete one.",
         CmdAssignments},
    };
    return commands;
}
