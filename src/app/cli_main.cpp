#include "cli/Cli.h"

#include <QCoreApplication>
#include <iostream>
#include <cstdlib>

int main(int argc, char **argv)
{
    // Looking at ALSA's jack entry for the device list must not start a JACK server that
    // would take the sound card from the user's other programs; the user's own setting
    // wins. Set before any thread starts.
    ::setenv("JACK_NO_START_SERVER", "1", 0);
    // QtCore services (locale-aware comparison, file info) need an application object.
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv, argv + argc);
    return RunCli(args, std::cout, std::cerr);
}
