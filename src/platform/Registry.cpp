#include "platform/Registry.h"

#include "platform/Exception.h"

TRegistry::TRegistry(TRegRoot root) : store_(std::make_shared<TRegistryStore>(root)) {}

TRegistry::TRegistry(std::shared_ptr<TRegistryStore> store) : store_(std::move(store))
{
    Assert(store_ != nullptr, "Registry");
}

std::string TRegistry::Resolve(const std::string &key) const
{
    if (!key.empty() && key[0] == '\\')
        return TRegTree::NormalizePath(key);
    if (current_.empty())
        return TRegTree::NormalizePath(key);
    return TRegTree::NormalizePath(current_ + "\\" + key);
}

bool TRegistry::OpenKey(const std::string &key, bool canCreate)
{
    const std::string path = Resolve(key);
    if (!store_->Tree().KeyExists(path)) {
        if (!canCreate)
            return false;
        store_->Modify([path](TRegTree &tree) { tree.CreateKey(path); });
    }
    // The stored spelling of the key, so CurrentPath shows the case it was made with.
    const TRegKeyData *data = store_->Tree().FindKey(path);
    current_ = data ? data->path : path;
    readOnly_ = false;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string &key)
{
    if (!OpenKey(key, false))
        return false;
    readOnly_ = true;
    return true;
}

void TRegistry::CloseKey()
{
    current_.clear();
    readOnly_ = false;
}

bool TRegistry::KeyExists(const std::string &key)
{
    return store_->Tree().KeyExists(Resolve(key));
}

bool TRegistry::CreateKey(const std::string &key)
{
    const std::string path = Resolve(key);
    if (store_->Tree().KeyExists(path))
        return false;
    store_->Modify([path](TRegTree &tree) { tree.CreateKey(path); });
    return true;
}

bool TRegistry::DeleteKey(const std::string &key)
{
    const std::string path = Resolve(key);
    if (path.empty() || !store_->Tree().KeyExists(path))
        return false;
    store_->Modify([path](TRegTree &tree) { tree.DeleteKey(path); });
    return true;
}

bool TRegistry::HasSubKeys()
{
    return !GetKeyNames().empty();
}

std::vector<std::string> TRegistry::GetKeyNames()
{
    return store_->Tree().SubKeyNames(current_);
}

std::vector<std::string> TRegistry::GetValueNames()
{
    std::vector<std::string> names;
    if (const TRegKeyData *key = store_->Tree().FindKey(current_))
        for (const TRegValue &value : key->values)
            names.push_back(value.name);
    return names;
}

const TRegValue *TRegistry::Find(const std::string &name)
{
    return store_->Tree().FindValue(current_, name);
}

bool TRegistry::ValueExists(const std::string &name)
{
    return Find(name) != nullptr;
}

TRegDataType TRegistry::GetDataType(const std::string &name)
{
    const TRegValue *value = Find(name);
    if (!value)
        return TRegDataType::rdUnknown;
    switch (value->type) {
    case kRegSz:
        return TRegDataType::rdString;
    case kRegExpandSz:
        return TRegDataType::rdExpandString;
    case kRegDword:
        return TRegDataType::rdInteger;
    case kRegBinary:
        return TRegDataType::rdBinary;
    default:
        return TRegDataType::rdUnknown;
    }
}

std::string TRegistry::ReadString(const std::string &name, const std::string &defaultValue)
{
    const TRegValue *value = Find(name);
    if (!value || (value->type != kRegSz && value->type != kRegExpandSz))
        return defaultValue;
    return value->text;
}

std::int32_t TRegistry::ReadInteger(const std::string &name, std::int32_t defaultValue)
{
    const TRegValue *value = Find(name);
    if (!value || value->type != kRegDword)
        return defaultValue;
    return static_cast<std::int32_t>(value->number);
}

std::vector<std::uint8_t> TRegistry::ReadBinary(const std::string &name)
{
    const TRegValue *value = Find(name);
    if (!value || value->type != kRegBinary)
        return {};
    return value->data;
}

void TRegistry::Write(TRegValue value)
{
    if (readOnly_)
        throw EModwright("The registry key " + std::string(RegRootName(RootKey())) + "\\" + current_ +
                         " is open for reading only.");
    store_->Modify(
        [path = current_, value = std::move(value)](TRegTree &tree) { tree.SetValue(path, value); });
}

void TRegistry::WriteString(const std::string &name, const std::string &value)
{
    Write({name, kRegSz, value, 0, {}});
}

void TRegistry::WriteExpandString(const std::string &name, const std::string &value)
{
    Write({name, kRegExpandSz, value, 0, {}});
}

void TRegistry::WriteInteger(const std::string &name, std::int32_t value)
{
    Write({name, kRegDword, {}, static_cast<std::uint32_t>(value), {}});
}

void TRegistry::WriteBinary(const std::string &name, const std::vector<std::uint8_t> &value)
{
    Write({name, kRegBinary, {}, 0, value});
}

bool TRegistry::DeleteValue(const std::string &name)
{
    if (!Find(name))
        return false;
    if (readOnly_)
        throw EModwright("The registry key " + std::string(RegRootName(RootKey())) + "\\" + current_ +
                         " is open for reading only.");
    store_->Modify([path = current_, name](TRegTree &tree) { tree.DeleteValue(path, name); });
    return true;
}
