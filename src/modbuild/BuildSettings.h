#pragma once

#include <QString>

// The settings that checking, converting and making a mod read. The main
// window keeps them in its configuration store and hands them in; the command
// line and the tests fill one directly.
struct TBuildSettings {
    bool ShowWarnings = true;      // add "*Warning:" lines to the messages window
    bool ShowDrumFormat = false;   // the drum list shows the measured sample format
    int JpegCompressionRatio = 98; // JPEG quality 1..100 when a BMP is converted
    // Per list, 0 images and 1 drums: how the save commands name the files.
    bool UseVirtualNames[2] = {false, false}; // display name instead of the packer name
    bool UseOtherExt[2] = {false, false};     // ".bmp" / ".wav" instead of ".jpg" / ".aif"

    QString ModPackerPath;
    QString ReBirthPath;
    QString ImgEditorPath;
    QString DrumEditorPath;
    // Base of the temporary working folder ("Mdw2Temp" below it); empty: the
    // user's private default (PrivateTempBase: the runtime or cache folder).
    QString TempDir;

    // TempDir (or the private default base) + "/Mdw2Temp/".
    QString TempWorkingFolder() const;
};
