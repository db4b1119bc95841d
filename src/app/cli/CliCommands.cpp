#include "cli/CliCommands.h"

const std::vector<TCliCommand> &CliCommands()
{
    static const std::vector<TCliCommand> commands = {
        {"catalogue", "--json", "The 105 components, one JSON line each, in live-entry order.", CmdCatalogue},
        {"assignments", "list FILE | show FILE NAME | delete FILE NAME",
         "The saved assignments of an assignment file: their names, one's lines, or delete one.",
         CmdAssignments},
        {"probe", "FILE...", "Header facts of image and sample files, one JSON line per file.", CmdProbe},
        {"play", "FILE [--device NAME]", "Plays a WAV or AIFF sample and returns when the device has closed.", CmdPlay},
        {"devices", "", "The sound output devices, one JSON line each, the default first.", CmdDevices},
        {"convert", "SRC DST [--quality N]", "Converts SRC as Make! converts a component of its kind; DST's extension decides the format.", CmdConvert},
        {"check", "INDEX FILE", "Checks FILE for the component with that live-entry index: one JSON line with the measured values and warnings.", CmdCheck},
        {"export", "ASSIGNMENT_FILE NAME FOLDER [--quality N]", "Writes the ModPacker folder layout of a saved assignment into FOLDER.", CmdExport},
        {"import", "FOLDER", "Imports a ModPacker folder and prints the assignment as assignment-file lines.", CmdImport},
        {"make", "ASSIGNMENT_FILE NAME [--modpacker PATH] [--rebirth PATH] [--temp DIR]", "Make! without dialogs: lays out the mod folder, runs ModPacker (the one `programs` finds unless given), waits, removes the folder.", CmdMake},
        {"programs", "", "Where ModPacker, ReBirth and wine were found (our registry store or the Wine prefix), or why not: one JSON line.", CmdPrograms},
        {"demo", "FOLDER", "Writes the demo mod, drawn and synthesised by Modwright, into FOLDER with FOLDER/Assignments.ini holding it as \"Demo\".", CmdDemo},
        {"shell-menus", "install|remove|list",
         "Writes, removes or lists the file managers' \"Edit with\" entries Modwright wrote.", CmdShellMenus},
    };
    return commands;
}
