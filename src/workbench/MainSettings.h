#pragma once

#include "modbuild/BuildSettings.h"

#include <QString>

class TCustomIniFile;

// The main window's values in the section "Current" of the configuration store,
// with their defaults. Booleans are stored as "0"/"1", integers as registry
// numbers, strings as strings; a missing or unusable value keeps its default.
// Values with a suffix 0 belong to the images tab, 1 to the drums tab.
//
// The column widths, splitter positions and window placement are read and
// applied by the window itself; the editor values are read and written last,
// on their own, because the context-menu library shares them.
struct TMainSettings : TBuildSettings {
    static constexpr const char *Section = "Current";

    TMainSettings();

    bool ShowToolbar = true;
    bool TextLabels = true;
    bool FirstTime = true;
    bool ModClickShowImageViewer = false;
    bool FileClickShowImageViewer = false;
    bool ModDblShowImageViewer = false;
    bool FileDblShowImageViewer = false;
    bool ShowWelcome = true;
    bool AutoLoad = true;
    bool ShowInfos = true;
    bool ShowGlance = false;
    QString LastAssignment;
    QString AudioDevice;
    QString AssFilename;

    int Splitter[2] = {265, 265}; // in design pixels, scaled to the font (DesignScale.h)
    int SortMode[2] = {0, 0};
    bool SortReverse[2] = {false, false};
    bool ModClickShow[2] = {true, true};
    bool FileClickShow[2] = {true, true};
    bool ModDblShow[2] = {false, false};
    bool ModDblBrowse[2] = {true, true};
    bool ModRunEditor[2] = {true, true};
    bool FileDblShow[2] = {false, false};
    bool FileRunEditor[2] = {false, false};
    bool FileRunDef[2] = {false, false};

    QString ImgEditorName;
    QString DrumEditorName;
    bool ImgEditorActive = false;
    bool DrumEditorActive = false;

    // Every value of the table but the placement, the column widths and the
    // editor values. Values out of their range (a JPEG quality outside 1..100,
    // a negative splitter) read as their defaults.
    void Load(const TCustomIniFile &store);
    // Writes them; throws EModwright when the store cannot be written.
    void Save(TCustomIniFile &store) const;

    // The six editor values shared with the context-menu library.
    void LoadEditors(const TCustomIniFile &store);
    void SaveEditors(TCustomIniFile &store) const;
};
