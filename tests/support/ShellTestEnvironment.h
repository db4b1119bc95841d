#pragma once

#include "platform/ShellEnvironment.h"
#include "support/TestDir.h"

#include <QFile>

// A namespace of our own for a test: desktop, home and one extra volume below a temporary
// folder, plus "/". The machine's environment comes back when the object goes.
class TShellTestEnvironment {
public:
    TShellTestEnvironment()
    {
        desktop = dir.createDir("desktop");
        home = dir.createDir("home");
        volume = dir.createDir("volume");
        auto env = std::make_shared<TShellEnvironment>();
        env->DesktopPath = QFile::encodeName(desktop);
        env->HomePath = QFile::encodeName(home);
        const QByteArray volumePath = QFile::encodeName(volume);
        env->Volumes = [volumePath] {
            TShellVolume root;
            root.RootPath = "/";
            root.Name = "File System";
            TShellVolume stick;
            stick.RootPath = volumePath;
            stick.Name = "STICK";
            stick.Removable = true;
            return std::vector<TShellVolume>{root, stick};
        };
        SetShellEnvironment(env);
    }
    ~TShellTestEnvironment() { SetShellEnvironment(nullptr); }

    TTestDir dir;
    QString desktop, home, volume;
};
