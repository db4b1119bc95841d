#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

// Where the namespace's virtual items point on this machine: the desktop's file-system
// folder (the XDG desktop folder), the home folder and the volumes that "Computer" holds.
// Tests install their own environment; every folder object reads the one current when it
// is made.

struct TShellVolume {
    QByteArray RootPath; // mount point, raw bytes
    QString Name;        // shown in "Computer"
    bool Removable = false;
    bool ReadOnly = false;
};

struct TShellEnvironment {
    QByteArray DesktopPath;
    QByteArray HomePath;
    // The volumes of "Computer"; "/" is added when missing.
    std::function<std::vector<TShellVolume>()> Volumes;
};

// The environment in use (the machine's own unless one was installed).
std::shared_ptr<const TShellEnvironment> ShellEnvironment();
// Installs an environment; an empty pointer returns to the machine's own.
void SetShellEnvironment(std::shared_ptr<const TShellEnvironment> environment);

// The machine's own: XDG desktop and home folders, mounted volumes from the mount table.
TShellEnvironment MachineShellEnvironment();

// The volumes of the environment, "/" first, then by mount path.
std::vector<TShellVolume> ShellVolumes();

// Picks "/" and the removable and user volumes out of a mount table in the format of
// /proc/self/mountinfo: mounts below /media, /run/media, /mnt and the home folder that
// are not pseudo file systems. A mount point mounted over keeps its last entry.
std::vector<TShellVolume> VolumesFromMountInfo(const QByteArray &mountInfo, const QByteArray &homePath);

// The type name and icon names of a file by its name alone (the content is never read).
// An unknown type gives an empty name.
struct TShellTypeInfo {
    QString TypeName;
    QString IconName;
    QString GenericIconName;
};
TShellTypeInfo ShellTypeOfFileName(const QString &fileName);
