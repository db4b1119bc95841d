#pragma once

#include "cli/Cli.h"
#include "modbuild/BuildContext.h"
#include "model/AssignmentSet.h"

#include <QString>
#include <initializer_list>
#include <map>

// What the mod-building commands share: a current assignment with both
// component lists in catalogue order, the messages window as a list in memory,
// the settings at their defaults, no progress display.
struct TCliBuild {
    TCliBuild();
    ~TCliBuild();
    TCliBuild(const TCliBuild &) = delete;
    TCliBuild &operator=(const TCliBuild &) = delete;

    // Loads a named assignment of an assignment file. False, with the reason on
    // `err`, when the file holds no assignment of that name.
    bool Load(const std::string &file, const std::string &name, std::ostream &err);
    // The messages window's lines, one per line.
    void PrintMessages(std::ostream &err) const;

    TAssignmentRows images;
    TAssignmentRows drums;
    TMessageList messages;
    TAssignmentSet set;
    TBuildSettings settings;
    TNoProgress progress;
    TBuildContext ctx;
};

// A command's words and its "--name VALUE" options (only the known names).
struct TCliOptions {
    std::vector<std::string> words;
    std::map<std::string, std::string> values;
    bool has(const std::string &name) const { return values.count(name) > 0; }
};
TCliOptions ParseOptions(const std::vector<std::string> &args, std::initializer_list<const char *> known);

// "--quality N": a JPEG quality of 1 to 100.
int ParseQuality(const std::string &text);

// A path from the command line (the file system's encoding).
QString PathArg(const std::string &arg);
// The same made absolute against the current folder.
QString AbsolutePathArg(const std::string &arg);
