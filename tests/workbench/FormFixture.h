#pragma once

#include "audio/WavePlayer.h"
#include "common/MessageBoxes.h"
#include "model/AssignmentSet.h"
#include "model/Catalogue.h"
#include "platform/RegIniFile.h"
#include "support/AlsaCapture.h"
#include "support/ReturningUser.h"
#include "support/TestDir.h"
#include "support/gui/WindowWaits.h"
#include "workbench/ComponentList.h"
#include "workbench/ComponentListModel.h"
#include "workbench/ModwrightForm.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// Files the component check accepts.
inline QByteArray MakeWav(int rate, int bits, int channels, int frames)
{
    const int blockAlign = channels * bits / 8;
    const quint32 dataSize = quint32(frames * blockAlign);
    QByteArray b;
    auto u32 = [&](quint32 v) { b.append(reinterpret_cast<const char *>(&v), 4); }; // little-endian host
    auto u16 = [&](quint16 v) { b.append(reinterpret_cast<const char *>(&v), 2); };
    b.append("RIFF");
    u32(36 + dataSize);
    b.append("WAVE");
    b.append("fmt ");
    u32(16); // fmt chunk size
    u16(1);  // PCM
    u16(quint16(channels));
    u32(quint32(rate));
    u32(quint32(rate * blockAlign)); // bytes per second
    u16(quint16(blockAlign));
    u16(quint16(bits));
    b.append("data");
    u32(dataSize);
    b.append(QByteArray(int(dataSize), '\0'));
    return b;
}

inline QString MakeBmp(TTestDir &dir, const QString &name, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(QColor(200, 80, 40));
    const QString path = dir.file(name);
    image.save(path, "BMP");
    return path;
}

// Waits (running the event loop) until the condition holds or 5 seconds passed.
inline bool WaitFor(const std::function<bool()> &condition, int ms = 5000)
{
    return WaitUntil(condition, ms);
}

inline TAssignmentData *FindRow(TComponentList *list, const QString &caption)
{
    for (int i = 0; i < list->Model().rowCount(); ++i)
        if (list->RowAt(i)->displayName() == caption)
            return list->RowAt(i);
    return nullptr;
}

inline QString Cell(TComponentList *list, const TAssignmentData *row, int column)
{
    const int r = list->Model().rowOf(row);
    return list->Model().data(list->Model().index(r, column), Qt::DisplayRole).toString();
}

// A main window over a configuration store and temporary folders of its own.
class FormFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("MODWRIGHT_CONFIG_DIR", dir.path().toUtf8());
        qputenv("TMPDIR", dir.createDir("tmp").toUtf8());
        // The private default of the working folder's base, as main() finds it.
        qputenv("XDG_RUNTIME_DIR", dir.createDir("run").toUtf8());
        base = dir.createDir("base");
        config().WriteString(TMainSettings::Section, "TempDir", base.toStdString());
        config().WriteString(TMainSettings::Section, "AssFilename",
                             dir.file("Assignments.ini").toStdString());
        // Sound goes through ALSA into a file, and the player is made afresh under it.
        capture = std::make_unique<TAlsaCapture>(dir.createDir("sound"));
        FreeWavePlayer();
        // A returning user's programs and choices, so that the start-up checks open
        // neither the settings dialog nor the wizard. Tests of those paths change the
        // configuration before start().
        ConfigureReturningUser(dir);
    }

    void TearDown() override
    {
        form.reset();
        DestroyCatalogue();
        FreeWavePlayer();
        capture.reset();
    }

    TRegIniFile &config()
    {
        if (!config_)
            config_ = std::make_unique<TRegIniFile>(TRegRoot::CurrentUser, ConfigKey);
        return *config_;
    }
    void setValue(const char *name, const QString &value)
    {
        config().WriteString(TMainSettings::Section, name, value.toStdString());
    }

    // Makes the window, shows it and runs the start-up up to the loaded assignment.
    TModwrightForm &start()
    {
        form = std::make_unique<TModwrightForm>(TStartOptions{false, false});
        form->ShowForStartup();
        EXPECT_TRUE(WaitFor([this] { return form->StartupSecondHalfDone(); }));
        return *form;
    }

    QString backupFile() const { return base + "/Mdw2Temp/" + TAssignmentSet::BackupFileName; }

    TTestDir dir;
    std::unique_ptr<TAlsaCapture> capture;
    QString base;
    TScriptedMessageBoxes boxes;
    std::unique_ptr<TModwrightForm> form;

private:
    std::unique_ptr<TRegIniFile> config_;
};
