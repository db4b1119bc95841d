#pragma once

#include "platform/ShellFileSystemFolder.h"

// The root of the namespace, "Desktop": the home folder, "Computer" and the entries of the
// desktop's file-system folder (the XDG desktop folder, which is its file-system path).
class TDesktopFolder final : public TFileSystemFolder {
public:
    TDesktopFolder();

    std::unique_ptr<TShellEnum> EnumObjects(uint32_t flags) const override;
    bool GetAttributesOf(PCItemIdList item, uint32_t &attributes) const override;
    QString GetDisplayNameOf(PCItemIdList item, uint32_t flags) const override;
    bool GetDataFromIDList(PCItemIdList item, TFindData &data) const override;
    TShellFileInfo GetFileInfo(PCItemIdList item, uint32_t flags) const override;
    TItemIdList SetNameOf(PCItemIdList item, const QString &newName, uint32_t flags) const override;
    QByteArray ItemPath(PCItemIdList item) const override;

    // The attributes and information of the desktop itself.
    TShellFileInfo OwnInfo(uint32_t flags) const;

    // The absolute list of a path: "/"-paths go through "Computer" and the volume that
    // holds them ("." and ".." are resolved by name, every other part must exist);
    // "Computer" and "Desktop" name those folders. Raises with the reason otherwise.
    TItemIdList ParseDisplayName(const QString &path) const;
    TItemIdList ParseDisplayName(const QByteArray &path) const;

protected:
    std::shared_ptr<TShellFolder> BindToChild(PCItemIdList item) const override;

private:
    QByteArray homePath_;
};

// "Computer": virtual (a file-system ancestor, not itself on disk), holding "/" and the
// mounted removable and user volumes.
class TComputerFolder final : public TShellFolder {
public:
    TComputerFolder();

    std::unique_ptr<TShellEnum> EnumObjects(uint32_t flags) const override;
    bool GetAttributesOf(PCItemIdList item, uint32_t &attributes) const override;
    QString GetDisplayNameOf(PCItemIdList item, uint32_t flags) const override;
    bool GetDataFromIDList(PCItemIdList item, TFindData &data) const override;
    TShellFileInfo GetFileInfo(PCItemIdList item, uint32_t flags) const override;
    QByteArray ItemPath(PCItemIdList item) const override;

protected:
    std::shared_ptr<TShellFolder> BindToChild(PCItemIdList item) const override;
};

// Display names of the virtual items.
inline constexpr char kDesktopName[] = "Desktop";
inline constexpr char kComputerName[] = "Computer";
inline constexpr char kHomeName[] = "Home";

// Attributes of "Computer" as an item of the desktop.
constexpr uint32_t kComputerAttributes =
    SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER | SFGAO_HASPROPSHEET | SFGAO_CANLINK;
