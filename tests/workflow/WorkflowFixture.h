#pragma once

// The program as a user starts it: the main window made by the same function main() uses,
// with its real hooks, player and registration, in scratch configuration, XDG, home and
// temporary folders, and sound through ALSA into a capture file. Tests drive it with real Qt
// events; modal questions are answered through the message-box seam.

#include "common/MessageBoxes.h"
#include "support/AlsaCapture.h"
#include "support/EnvGuard.h"
#include "support/TestDir.h"
#include "support/gui/WindowWaits.h"

#include <QString>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

class TModwrightForm;
class TComponentList;
class TAssignmentData;

class Workflow : public ::testing::Test {
protected:
    Workflow();
    ~Workflow() override;

    // The configuration of a user who has run the program before: ReBirth and ModPacker
    // (stand-ins on disk) are set, and the welcome wizard is off.
    void configureReturningUser();
    // Makes and shows the main window as main() does and waits for its start-up to load.
    TModwrightForm &startProgram();
    // Clicks the start-up splash away, as a user does, and waits for the start-up checks.
    void dismissSplash();

    // A folder holding a file for every component, named so that auto-assign finds it:
    // images in their catalogue sizes, each panel in a colour of its own, and drums of
    // distinct mono samples.
    QString makeComponentFolder();
    // What a drum of that folder sounds like on the stereo device.
    static QByteArray DrumSamples(int drumIndex);
    static QRgb PanelColour(int panelIndex);

    // Shows Folder in the tab's browser and runs the "Auto Assign all" command.
    void autoAssign(int tab, const QString &folder);

    // A config file's value in the main section ("" when missing).
    QString storedValue(const char *name) const;

    // Every file below the folder with its bytes, to see that nothing was written.
    static std::vector<std::pair<QString, QByteArray>> Snapshot(const QString &folder);

    TTestDir dir;
    QString configDir, dataHome, modPacker, reBirth;
    TScriptedMessageBoxes boxes;
    std::unique_ptr<TAlsaCapture> capture;
    std::unique_ptr<TModwrightForm> form;

private:
    std::vector<std::unique_ptr<TEnvGuard>> env_;
};
