#include "controls/ShellIconList.h"

#include <QDir>
#include <QFileIconProvider>

namespace {

// Without a desktop session there is often no icon theme but the bare "hicolor"; a theme
// that is installed still gives better icons than the style's few. Naming a new theme also
// drops the lookups made so far (the style's), which were cached as missing.
void ChooseTheme()
{
    const QString current = QIcon::themeName();
    if (!current.isEmpty() && current != QLatin1String("hicolor"))
        return;
    for (const char *theme : {"Adwaita", "breeze", "oxygen", "gnome"})
        for (const QString &base : QIcon::themeSearchPaths())
            if (QDir(base + QLatin1Char('/') + QLatin1String(theme)).exists(QStringLiteral("index.theme"))) {
                QIcon::setThemeName(QLatin1String(theme));
                return;
            }
}

QAbstractFileIconProvider::IconType ProviderType(TShellIconKind kind)
{
    switch (kind) {
    case sikFolder:
    case sikHome:
        return QAbstractFileIconProvider::Folder;
    case sikDesktop:
        return QAbstractFileIconProvider::Desktop;
    case sikComputer:
        return QAbstractFileIconProvider::Computer;
    case sikDrive:
    case sikRemovable:
        return QAbstractFileIconProvider::Drive;
    case sikFile:
        break;
    }
    return QAbstractFileIconProvider::File;
}

} // namespace

TShellIconList &TShellIconList::Instance()
{
    // Never destroyed: icons must not outlive the application object, which tests and
    // programs delete before static objects go.
    static TShellIconList *list = new TShellIconList;
    return *list;
}

TShellIconList::TShellIconList()
{
    ChooseTheme();
    icons_.push_back(QFileIconProvider().icon(QAbstractFileIconProvider::File));
}

QIcon TShellIconList::Resolve(const TShellFileInfo &info) const
{
    for (const QString &name : {info.IconName, info.GenericIconName})
        if (!name.isEmpty() && QIcon::hasThemeIcon(name))
            return QIcon::fromTheme(name);
    if (info.IconKind == sikFile) {
        // Audio and image files without a theme icon of their own.
        if (info.GenericIconName.startsWith(QLatin1String("audio")) && QIcon::hasThemeIcon("audio-x-generic"))
            return QIcon::fromTheme(QStringLiteral("audio-x-generic"));
        if (QIcon::hasThemeIcon(QStringLiteral("text-x-generic")))
            return QIcon::fromTheme(QStringLiteral("text-x-generic"));
    }
    return QFileIconProvider().icon(ProviderType(info.IconKind));
}

int TShellIconList::IndexOf(const TShellFileInfo &info)
{
    if (lastIndex_ >= 0 && info.IconKind == last_.IconKind && info.IconName == last_.IconName &&
        info.GenericIconName == last_.GenericIconName)
        return lastIndex_;
    lastIndex_ = IndexOfKey(info);
    last_.IconKind = info.IconKind;
    last_.IconName = info.IconName;
    last_.GenericIconName = info.GenericIconName;
    return lastIndex_;
}

int TShellIconList::IndexOfKey(const TShellFileInfo &info)
{
    const QString key = info.IconName + QLatin1Char('|') + info.GenericIconName + QLatin1Char('|') +
                        QString::number(int(info.IconKind));
    auto it = indexByKey_.constFind(key);
    if (it != indexByKey_.constEnd())
        return *it;
    QIcon icon = Resolve(info);
    const int index = icon.isNull() ? 0 : int(icons_.size());
    if (index != 0)
        icons_.push_back(icon);
    indexByKey_.insert(key, index);
    return index;
}

QIcon TShellIconList::Icon(int index) const
{
    if (index < 0 || size_t(index) >= icons_.size())
        return icons_.front();
    return icons_[size_t(index)];
}
