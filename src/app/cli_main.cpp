#include "cli/Cli.h"

#include <QCoreApplication>
#include <iostream>

int main(int argc, char **argv)
{
    // QtCore services (locale-aware comparison, file info) need an application object.
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv, argv + argc);
    return RunCli(args, std::cout, std::cerr);
}
