#pragma once

#include "platform/ShellTypes.h"

#include <QHash>
#include <QIcon>
#include <QString>
#include <vector>

// The icons of namespace items, shared by every view like the system image list: an icon
// is fetched once per type and rows keep its index. Theme icons by name first, then the
// generic name, then the style's own icon for the kind of item.
class TShellIconList {
public:
    static TShellIconList &Instance();

    // The index of the icon for an item's information (0, a plain file, when nothing fits).
    int IndexOf(const TShellFileInfo &info);
    QIcon Icon(int index) const;

private:
    TShellIconList();
    QIcon Resolve(const TShellFileInfo &info) const;
    int IndexOfKey(const TShellFileInfo &info);

    QHash<QString, int> indexByKey_;
    // The last answer: the rows of a folder mostly share one icon.
    TShellFileInfo last_;
    int lastIndex_ = -1;
    std::vector<QIcon> icons_;
};
