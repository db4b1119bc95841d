#include "controls/DynamicMenuBase.h"

#include "platform/Registry.h"
#include "platform/RegistryStore.h"

#include <QAction>
#include <QMenu>

namespace {

const char *const HelpContextProperty = "HelpContext";

} // namespace

const QString TDynamicMenuBase::DefaultRegPath = QStringLiteral("Company\\Program Name");

TDynamicMenuBase::TDynamicMenuBase(QObject *parent) : QObject(parent), regPath_(DefaultRegPath) {}

TDynamicMenuBase::~TDynamicMenuBase() = default;

void TDynamicMenuBase::SetRegPath(const QString &path)
{
    regPath_ = path;
    LoadFromRegistry();
}

void TDynamicMenuBase::SetRegKey(const QString &key)
{
    regKey_ = key;
    LoadFromRegistry();
}

void TDynamicMenuBase::SetBaseMenu(QMenu *menu)
{
    baseMenu_ = menu;
    LoadFromRegistry();
}

void TDynamicMenuBase::SetHelpContext(int context)
{
    helpContext_ = context;
}

void TDynamicMenuBase::SetRegistryStore(std::shared_ptr<TRegistryStore> store)
{
    store_ = std::move(store);
}

bool TDynamicMenuBase::RegPathValid() const
{
    return !regPath_.isEmpty() && regPath_ != DefaultRegPath && !regKey_.isEmpty();
}

std::string TDynamicMenuBase::KeyPath() const
{
    return ("\\Software\\" + regPath_ + "\\" + regKey_).toStdString();
}

std::unique_ptr<TRegistry> TDynamicMenuBase::OpenRegistry() const
{
    if (store_)
        return std::make_unique<TRegistry>(store_);
    return std::make_unique<TRegistry>(TRegRoot::CurrentUser);
}

void TDynamicMenuBase::LoadFromRegistry()
{
    if (loaded_ || !baseMenu_ || !RegPathValid())
        return;
    loaded_ = true;
    std::unique_ptr<TRegistry> reg = OpenRegistry();
    // Reading never creates the key: a program that only looked at its
    // bookmarks leaves no trace.
    if (!reg->OpenKeyReadOnly(KeyPath()))
        return;
    for (int index = 0; ReadItem(*reg, index); ++index) {
    }
}

void TDynamicMenuBase::SaveToRegistry()
{
    if (!baseMenu_ || !RegPathValid())
        return;
    std::unique_ptr<TRegistry> reg = OpenRegistry();
    // One locked, atomic write for the whole key: a failure leaves the old values.
    TRegistryUpdate update(reg->Store());
    if (!reg->OpenKey(KeyPath(), true))
        return;
    for (const std::string &name : reg->GetValueNames())
        reg->DeleteValue(name);
    for (int index = 0; index < ItemCount(); ++index)
        WriteItem(*reg, index);
    update.Commit();
}

void TDynamicMenuBase::Clear()
{
    while (ItemCount() > 0)
        RemoveItem(ItemCount() - 1);
}

int TDynamicMenuBase::ItemHelpContext(const QAction *item)
{
    return item ? item->property(HelpContextProperty).toInt() : 0;
}

void TDynamicMenuBase::SetItemHelpContext(QAction *item, int context)
{
    item->setProperty(HelpContextProperty, context);
}

QString TDynamicMenuBase::ItemPath(const QAction *item)
{
    return item ? item->statusTip() : QString();
}

QString TDynamicMenuBase::ItemCaption(const QAction *item)
{
    return item ? item->data().toString() : QString();
}

QAction *TDynamicMenuBase::MakeItem(const QString &caption, const QString &path, QObject *parent) const
{
    // Menus take "&" for the mnemonic marker; a folder called "R&B" must show as such.
    auto *item = new QAction(QString(caption).replace(QLatin1Char('&'), QLatin1String("&&")), parent);
    item->setData(caption);
    item->setStatusTip(path);
    SetItemHelpContext(item, helpContext_);
    return item;
}

QAction *TDynamicMenuBase::CloneItem(const QAction *item, QObject *parent) const
{
    auto *clone = new QAction(item->text(), parent);
    clone->setShortcut(item->shortcut());
    clone->setCheckable(item->isCheckable());
    clone->setChecked(item->isChecked());
    SetItemHelpContext(clone, ItemHelpContext(item));
    clone->setEnabled(item->isEnabled());
    clone->setStatusTip(item->statusTip());
    clone->setData(item->data());
    clone->setVisible(item->isVisible());
    return clone;
}

QString TDynamicMenuBase::TrimFolderPath(const QString &path)
{
    QString result = path;
    while (result.size() > 1 && (result.endsWith(QLatin1Char('/')) || result.endsWith(QLatin1Char('\\'))) &&
           result.at(result.size() - 2) != QLatin1Char(':'))
        result.chop(1);
    return result;
}

bool TDynamicMenuBase::SamePath(const QString &a, const QString &b)
{
    const bool paths = a.startsWith(QLatin1Char('/')) && b.startsWith(QLatin1Char('/'));
    return a.compare(b, paths ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
}
