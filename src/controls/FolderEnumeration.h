#pragma once

#include "platform/ShellFolder.h"

#include <QStringList>
#include <functional>

// The enumeration shared by listing (GUI thread) and the watch thread's compare pass.

struct TEnumFilter {
    bool ShowFolders = true;
    bool ShowHidden = false;
    // Extensions without dots, compared ignoring case; empty = all files.
    QStringList AllowedExtensions;
    // Asked for each item with find data; false leaves it out. Called on the thread that
    // enumerates, which for the watch thread is not the GUI thread.
    std::function<bool(const TFindData &)> CanAdd;

    uint32_t Flags() const;
};

struct TEnumItem {
    TItemIdList Relative;
    TItemIdList Absolute;
    uint32_t Attributes = 0;
    TFindData FindData;
    bool HasFindData = false;
};

// Lists the items of a folder that pass the filter: items with neither SFGAO_FILESYSTEM nor
// SFGAO_FILESYSANCESTOR are skipped, files must carry an allowed extension (folders never
// are filtered by it), and CanAdd has the last word. `before` runs once the enumeration is
// open; `add` gets each item and returns whether it counted. Returns the number counted, or
// -1 when the folder cannot be read (with the reason in *error). Shows the busy cursor
// while it runs on the GUI thread.
int EnumerateFolder(const TShellFolder &folder, const TEnumFilter &filter,
                    const std::function<void()> &before, const std::function<bool(TEnumItem &)> &add,
                    QString *error = nullptr);

// Looks at one item that an enumeration of folder returned: its attributes and find data,
// and whether it passes the filter. False leaves it out. Used by the listing's own thread.
// from: the enumeration that returned it.
bool ReadEnumItem(const TShellFolder &folder, const TShellEnum &from, const TEnumFilter &filter,
                  TItemIdList relative, TEnumItem &item);

// True when the file name's extension is one of the allowed ones (ignoring case).
bool ExtensionAllowed(const QString &fileName, const QStringList &allowed);
// The same for a name as stored on disk, without decoding a plain ASCII extension.
bool RawExtensionAllowed(const QByteArray &name, const QStringList &allowed);
