#include "workbench/MainSettings.h"

#include "common/PathUtils.h"
#include "platform/CustomIniFile.h"
#include "workbench/DesignScale.h"

#include <QDir>

namespace {

constexpr const char *Sec = TMainSettings::Section;

std::string Indexed(const char *name, int tab)
{
    return std::string(name) + char('0' + tab);
}

QString ReadText(const TCustomIniFile &store, const char *name, const QString &fallback)
{
    return QString::fromStdString(store.ReadString(Sec, name, fallback.toStdString()));
}

void WriteText(TCustomIniFile &store, const char *name, const QString &value)
{
    store.WriteString(Sec, name, value.toStdString());
}

void ReadPair(const TCustomIniFile &store, const char *name, bool (&values)[2])
{
    for (int tab = 0; tab < 2; ++tab)
        values[tab] = store.ReadBool(Sec, Indexed(name, tab), values[tab]);
}

void WritePair(TCustomIniFile &store, const char *name, const bool (&values)[2])
{
    for (int tab = 0; tab < 2; ++tab)
        store.WriteBool(Sec, Indexed(name, tab), values[tab]);
}

} // namespace

TMainSettings::TMainSettings()
{
    ShowWarnings = true;
    ShowDrumFormat = false;
    JpegCompressionRatio = 98;
    for (int tab = 0; tab < 2; ++tab) {
        UseVirtualNames[tab] = true;
        UseOtherExt[tab] = true;
    }
    TempDir = PrivateTempBase();
    Splitter[0] = Splitter[1] = Design(265);
}

void TMainSettings::Load(const TCustomIniFile &s)
{
    ShowToolbar = s.ReadBool(Sec, "ShowToolbar", ShowToolbar);
    TextLabels = s.ReadBool(Sec, "TextLabels", TextLabels);
    FirstTime = s.ReadBool(Sec, "FirstTime", FirstTime);
    ModClickShowImageViewer = s.ReadBool(Sec, "ModClickShowImageViewer", ModClickShowImageViewer);
    FileClickShowImageViewer = s.ReadBool(Sec, "FileClickShowImageViewer", FileClickShowImageViewer);
    ModDblShowImageViewer = s.ReadBool(Sec, "ModDblShowImageViewer", ModDblShowImageViewer);
    FileDblShowImageViewer = s.ReadBool(Sec, "FileDblShowImageViewer", FileDblShowImageViewer);
    ShowWelcome = s.ReadBool(Sec, "ShowWelcome", ShowWelcome);
    AutoLoad = s.ReadBool(Sec, "AutoLoad", AutoLoad);
    ShowWarnings = s.ReadBool(Sec, "ShowWarnings", ShowWarnings);
    ShowInfos = s.ReadBool(Sec, "ShowInfos", ShowInfos);
    ShowDrumFormat = s.ReadBool(Sec, "ShowDrumFormat", ShowDrumFormat);
    const int quality = s.ReadInteger(Sec, "JpegCompressionRatio", JpegCompressionRatio);
    if (quality >= 1 && quality <= 100)
        JpegCompressionRatio = quality;
    ShowGlance = s.ReadBool(Sec, "ShowGlance", ShowGlance);
    LastAssignment = ReadText(s, "LastAssignment", LastAssignment);
    ReBirthPath = ReadText(s, "ReBirthPath", ReBirthPath);
    ModPackerPath = ReadText(s, "ModPackerPath", ModPackerPath);
    AudioDevice = ReadText(s, "AudioDevice", AudioDevice);
    AssFilename = ReadText(s, "AssFilename", AssFilename);
    TempDir = ReadText(s, "TempDir", TempDir);
    for (int tab = 0; tab < 2; ++tab) {
        const int width = s.ReadInteger(Sec, Indexed("Splitter", tab), Splitter[tab]);
        if (width > 0)
            Splitter[tab] = width;
        // The window checks the column against the list's columns.
        SortMode[tab] = s.ReadInteger(Sec, Indexed("SortMode", tab), SortMode[tab]);
    }
    ReadPair(s, "SortReverse", SortReverse);
    ReadPair(s, "UseVirtualNames", UseVirtualNames);
    ReadPair(s, "UseOtherExt", UseOtherExt);
    ReadPair(s, "ModClickShow", ModClickShow);
    ReadPair(s, "FileClickShow", FileClickShow);
    ReadPair(s, "ModDblShow", ModDblShow);
    ReadPair(s, "ModDblBrowse", ModDblBrowse);
    ReadPair(s, "ModRunEditor", ModRunEditor);
    ReadPair(s, "FileDblShow", FileDblShow);
    ReadPair(s, "FileRunEditor", FileRunEditor);
    ReadPair(s, "FileRunDef", FileRunDef);
}

void TMainSettings::Save(TCustomIniFile &s) const
{
    s.WriteBool(Sec, "ShowToolbar", ShowToolbar);
    s.WriteBool(Sec, "TextLabels", TextLabels);
    // Only the very first run shows the image viewer by itself.
    s.WriteBool(Sec, "FirstTime", false);
    s.WriteBool(Sec, "ModClickShowImageViewer", ModClickShowImageViewer);
    s.WriteBool(Sec, "FileClickShowImageViewer", FileClickShowImageViewer);
    s.WriteBool(Sec, "ModDblShowImageViewer", ModDblShowImageViewer);
    s.WriteBool(Sec, "FileDblShowImageViewer", FileDblShowImageViewer);
    s.WriteBool(Sec, "ShowWelcome", ShowWelcome);
    s.WriteBool(Sec, "AutoLoad", AutoLoad);
    s.WriteBool(Sec, "ShowWarnings", ShowWarnings);
    s.WriteBool(Sec, "ShowInfos", ShowInfos);
    s.WriteBool(Sec, "ShowDrumFormat", ShowDrumFormat);
    s.WriteInteger(Sec, "JpegCompressionRatio", JpegCompressionRatio);
    s.WriteBool(Sec, "ShowGlance", ShowGlance);
    WriteText(s, "LastAssignment", LastAssignment);
    WriteText(s, "ReBirthPath", ReBirthPath);
    WriteText(s, "ModPackerPath", ModPackerPath);
    WriteText(s, "AudioDevice", AudioDevice);
    WriteText(s, "AssFilename", AssFilename);
    WriteText(s, "TempDir", TempDir);
    for (int tab = 0; tab < 2; ++tab) {
        s.WriteInteger(Sec, Indexed("Splitter", tab), Splitter[tab]);
        s.WriteInteger(Sec, Indexed("SortMode", tab), SortMode[tab]);
    }
    WritePair(s, "SortReverse", SortReverse);
    WritePair(s, "UseVirtualNames", UseVirtualNames);
    WritePair(s, "UseOtherExt", UseOtherExt);
    WritePair(s, "ModClickShow", ModClickShow);
    WritePair(s, "FileClickShow", FileClickShow);
    WritePair(s, "ModDblShow", ModDblShow);
    WritePair(s, "ModDblBrowse", ModDblBrowse);
    WritePair(s, "ModRunEditor", ModRunEditor);
    WritePair(s, "FileDblShow", FileDblShow);
    WritePair(s, "FileRunEditor", FileRunEditor);
    WritePair(s, "FileRunDef", FileRunDef);
}

void TMainSettings::LoadEditors(const TCustomIniFile &s)
{
    ImgEditorPath = ReadText(s, "ImgEditorPath", ImgEditorPath);
    ImgEditorName = ReadText(s, "ImgEditorName", ImgEditorName);
    ImgEditorActive = s.ReadBool(Sec, "ImgEditorActive", ImgEditorActive);
    DrumEditorPath = ReadText(s, "DrumEditorPath", DrumEditorPath);
    DrumEditorName = ReadText(s, "DrumEditorName", DrumEditorName);
    DrumEditorActive = s.ReadBool(Sec, "DrumEditorActive", DrumEditorActive);
}

void TMainSettings::SaveEditors(TCustomIniFile &s) const
{
    WriteText(s, "ImgEditorPath", ImgEditorPath);
    WriteText(s, "ImgEditorName", ImgEditorName);
    s.WriteBool(Sec, "ImgEditorActive", ImgEditorActive);
    WriteText(s, "DrumEditorPath", DrumEditorPath);
    WriteText(s, "DrumEditorName", DrumEditorName);
    s.WriteBool(Sec, "DrumEditorActive", DrumEditorActive);
}
