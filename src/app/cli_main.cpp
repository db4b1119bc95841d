#include "cli/Cli.h"
#include "common/PathUtils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdlib>
#include <iostream>

int main(int argc, char **argv)
{
    // Looking at ALSA's jack entry for the device list must not start a JACK server that
    // would take the sound card from the user's other programs; the user's own setting
    // wins. Set before any thread starts.
    ::setenv("JACK_NO_START_SERVER", "1", 0);
    // This program runs from lib/modwright behind the front bin/modwright-cli, which the
    // user ran: what lies beside "the program" (the data in ../share, the main program)
    // lies beside the front.
    SetProgramPath(QDir::cleanPath(QFileInfo(ProgramPath()).absolutePath() + "/../../bin/modwright-cli"));
    // QtCore services (locale-aware comparison, file info) need an application object.
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv, argv + argc);
    return RunCli(args, std::cout, std::cerr);
}
