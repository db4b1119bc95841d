#include "workbench/WorkbenchMain.h"

#include <QApplication>
#include <cstdlib>

int main(int argc, char **argv)
{
    // Looking at ALSA's jack entry for the device list must not start a JACK server that
    // would take the sound card from the user's other programs; the user's own setting
    // wins. Set before any thread starts.
    ::setenv("JACK_NO_START_SERVER", "1", 0);
    QApplication app(argc, argv);
    return ModwrightMain(app, QApplication::arguments().mid(1));
}
