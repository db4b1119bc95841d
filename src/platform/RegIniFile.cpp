#include "platform/RegIniFile.h"

#include "platform/Exception.h"
#include "platform/TextUtil.h"

TRegIniFile::TRegIniFile(TRegRoot root, std::string baseKey)
    : TRegIniFile(std::make_shared<TRegistryStore>(root), std::move(baseKey))
{
}

TRegIniFile::TRegIniFile(std::shared_ptr<TRegistryStore> store, std::string baseKey)
    : store_(std::move(store)), base_(TRegTree::NormalizePath(baseKey))
{
    Assert(store_ != nullptr, "RegIniFile");
}

std::string TRegIniFile::SectionPath(const std::string &section) const
{
    return TRegTree::NormalizePath(base_ + "\\" + section);
}

const TRegValue *TRegIniFile::Find(const std::string &section, const std::string &ident) const
{
    return store_->Tree().FindValue(SectionPath(section), ident);
}

std::string TRegIniFile::ReadString(const std::string &section, const std::string &ident,
                                    const std::string &defaultValue) const
{
    const TRegValue *value = Find(section, ident);
    if (!value || (value->type != kRegSz && value->type != kRegExpandSz))
        return defaultValue;
    return value->text;
}

void TRegIniFile::WriteString(const std::string &section, const std::string &ident, const std::string &value)
{
    store_->Modify([path = SectionPath(section), ident, value](TRegTree &tree) {
        tree.SetValue(path, {ident, kRegSz, value, 0, {}});
    });
}

std::int32_t TRegIniFile::ReadInteger(const std::string &section, const std::string &ident,
                                      std::int32_t defaultValue) const
{
    const TRegValue *value = Find(section, ident);
    if (!value)
        return defaultValue;
    if (value->type == kRegDword)
        return static_cast<std::int32_t>(value->number);
    std::int32_t number = defaultValue;
    if ((value->type == kRegSz || value->type == kRegExpandSz) && ParseInt32(value->text, number))
        return number;
    return defaultValue;
}

void TRegIniFile::WriteInteger(const std::string &section, const std::string &ident, std::int32_t value)
{
    // The choice is made on the fresh reading under the lock, so it follows the
    // value as it is in the file at the moment of writing.
    store_->Modify([path = SectionPath(section), ident, value](TRegTree &tree) {
        const TRegValue *existing = tree.FindValue(path, ident);
        if (existing && existing->type == kRegSz)
            tree.SetValue(path, {ident, kRegSz, std::to_string(value), 0, {}});
        else
            tree.SetValue(path, {ident, kRegDword, {}, static_cast<std::uint32_t>(value), {}});
    });
}

std::vector<std::uint8_t> TRegIniFile::ReadBinary(const std::string &section, const std::string &ident) const
{
    const TRegValue *value = Find(section, ident);
    if (!value || value->type != kRegBinary)
        return {};
    return value->data;
}

bool TRegIniFile::HasBinary(const std::string &section, const std::string &ident) const
{
    const TRegValue *value = Find(section, ident);
    return value && value->type == kRegBinary;
}

void TRegIniFile::WriteBinary(const std::string &section, const std::string &ident,
                              const std::vector<std::uint8_t> &value)
{
    store_->Modify([path = SectionPath(section), ident, value](TRegTree &tree) {
        tree.SetValue(path, {ident, kRegBinary, {}, 0, value});
    });
}

std::vector<std::string> TRegIniFile::ReadSection(const std::string &section) const
{
    std::vector<std::string> names;
    if (const TRegKeyData *key = store_->Tree().FindKey(SectionPath(section)))
        for (const TRegValue &value : key->values)
            if (!value.name.empty())
                names.push_back(value.name);
    return names;
}

std::vector<std::string> TRegIniFile::ReadSections() const
{
    return store_->Tree().SubKeyNames(base_);
}

std::vector<std::string> TRegIniFile::ReadSectionValues(const std::string &section) const
{
    std::vector<std::string> lines;
    if (const TRegKeyData *key = store_->Tree().FindKey(SectionPath(section))) {
        for (const TRegValue &value : key->values) {
            if (value.name.empty())
                continue;
            if (value.type == kRegSz || value.type == kRegExpandSz)
                lines.push_back(value.name + "=" + value.text);
            else if (value.type == kRegDword)
                lines.push_back(value.name + "=" + std::to_string(static_cast<std::int32_t>(value.number)));
        }
    }
    return lines;
}

bool TRegIniFile::SectionExists(const std::string &section) const
{
    return store_->Tree().KeyExists(SectionPath(section));
}

bool TRegIniFile::ValueExists(const std::string &section, const std::string &ident) const
{
    return Find(section, ident) != nullptr;
}

void TRegIniFile::EraseSection(const std::string &section)
{
    const std::string path = SectionPath(section);
    if (!store_->Tree().KeyExists(path))
        return;
    store_->Modify([path](TRegTree &tree) { tree.DeleteKey(path); });
}

void TRegIniFile::DeleteKey(const std::string &section, const std::string &ident)
{
    if (!Find(section, ident))
        return;
    store_->Modify([path = SectionPath(section), ident](TRegTree &tree) { tree.DeleteValue(path, ident); });
}
