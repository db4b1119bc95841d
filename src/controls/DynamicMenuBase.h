#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class QAction;
class TRegistry;
class TRegistryStore;

// A menu whose items are made at run time and kept in the registry below
// HKEY_CURRENT_USER\Software\<RegPath>\<RegKey>. The items go into BaseMenu, which
// is set once; they are read from the key the first time the base menu and a real
// RegPath are both known, and written back by SaveToRegistry. Every dynamic item
// keeps its full path as its hint (status tip) and the help context of the
// component as its "HelpContext" property.
class TDynamicMenuBase : public QObject {
    Q_OBJECT
public:
    // While RegPath holds this text (or is empty), nothing is loaded or saved.
    static const QString DefaultRegPath;

    explicit TDynamicMenuBase(QObject *parent = nullptr);
    ~TDynamicMenuBase() override;

    QString RegPath() const { return regPath_; }
    void SetRegPath(const QString &path);
    QString RegKey() const { return regKey_; }
    void SetRegKey(const QString &key);
    QMenu *BaseMenu() const { return baseMenu_; }
    virtual void SetBaseMenu(QMenu *menu);
    int HelpContext() const { return helpContext_; }
    virtual void SetHelpContext(int context);

    // The registry root the items live in; by default the user's root in the
    // configuration folder. Tests and the main window may share one.
    void SetRegistryStore(std::shared_ptr<TRegistryStore> store);

    virtual int ItemCount() const = 0;
    // Reads the items once (see above); later calls do nothing.
    void LoadFromRegistry();
    // Replaces the key's values with the current items. Throws EModwright when the
    // registry file cannot be written; a key that cannot be opened is not saved.
    void SaveToRegistry();
    // Removes every dynamic item.
    void Clear();

    // The help context of a dynamic item.
    static int ItemHelpContext(const QAction *item);
    // The path a dynamic item stands for, and the caption as given (before "&" was
    // doubled for display).
    static QString ItemPath(const QAction *item);
    // Whether two entries' paths name the same file or folder: file-system paths
    // with letter case, as the file system and the browser compare them.
    static bool SamePath(const QString &a, const QString &b);
    static QString ItemCaption(const QAction *item);

protected:
    virtual bool ReadItem(TRegistry &reg, int index) = 0;
    virtual void WriteItem(TRegistry &reg, int index) = 0;
    virtual void RemoveItem(int index) = 0;
    // A new item with the same caption, shortcut, checked state, help context,
    // enabled state, hint, data and visibility. The click handler is the caller's
    // to connect (Qt connections are not copied).
    virtual QAction *CloneItem(const QAction *item, QObject *parent) const;

    // A dynamic item: caption shown literally, path as hint.
    QAction *MakeItem(const QString &caption, const QString &path, QObject *parent) const;
    static void SetItemHelpContext(QAction *item, int context);
    bool RegPathValid() const;
    bool Loaded() const { return loaded_; }
    // The key path below the root, "Software\<RegPath>\<RegKey>".
    std::string KeyPath() const;
    // Folder paths lose a trailing separator, except a root ("/", "C:\").
    static QString TrimFolderPath(const QString &path);

private:
    std::unique_ptr<TRegistry> OpenRegistry() const;

    QString regPath_;
    QString regKey_;
    QPointer<QMenu> baseMenu_;
    int helpContext_ = 0;
    bool loaded_ = false;
    std::shared_ptr<TRegistryStore> store_;
};
