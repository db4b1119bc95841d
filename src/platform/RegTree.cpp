#include "platform/RegTree.h"

#include "platform/Exception.h"
#include "platform/TextUtil.h"

#include <algorithm>

namespace {

// Names end up on one line of the registry file; control characters other than
// tab would break it (or, from a damaged file, are not names at all).
void CheckName(std::string_view name, const char *what)
{
    for (char c : name)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
            throw EModwright(std::string("The registry ") + what + " \"" + std::string(name) +
                             "\" holds a control character.");
}

bool StartsWithFolder(const std::string &path, const std::string &folder)
{
    return path.size() > folder.size() && path[folder.size()] == '\\' &&
           path.compare(0, folder.size(), folder) == 0;
}

} // namespace

bool TRegTree::TPathOrder::operator()(const std::string &a, const std::string &b) const
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int ca = a[i] == '\\' ? 0 : static_cast<unsigned char>(a[i]) + 1;
        const int cb = b[i] == '\\' ? 0 : static_cast<unsigned char>(b[i]) + 1;
        if (ca != cb)
            return ca < cb;
    }
    return a.size() < b.size();
}

std::string TRegTree::NormalizePath(std::string_view path)
{
    std::string result;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        std::size_t end = path.find('\\', pos);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > pos) {
            if (!result.empty())
                result += '\\';
            result.append(path.substr(pos, end - pos));
        }
        pos = end + 1;
    }
    return result;
}

const TRegKeyData *TRegTree::FindKey(std::string_view path) const
{
    static const TRegKeyData emptyRoot;
    const std::string folded = AsciiFold(NormalizePath(path));
    const auto it = keys_.find(folded);
    if (it != keys_.end())
        return &it->second;
    return folded.empty() ? &emptyRoot : nullptr; // the root always exists
}

TRegKeyData *TRegTree::FindKeyMutable(std::string_view path)
{
    const auto it = keys_.find(AsciiFold(NormalizePath(path)));
    return it == keys_.end() ? nullptr : &it->second;
}

TRegKeyData &TRegTree::CreateKey(std::string_view path)
{
    const std::string normal = NormalizePath(path);
    CheckName(normal, "key");
    TRegKeyData *key = nullptr;
    std::string spelled; // the path as stored, with the spelling of existing parents
    std::size_t pos = 0;
    if (normal.empty()) {
        auto [it, added] = keys_.try_emplace(std::string());
        return it->second;
    }
    while (pos <= normal.size()) {
        std::size_t end = normal.find('\\', pos);
        if (end == std::string::npos)
            end = normal.size();
        const std::string prefix = normal.substr(0, end);
        const std::string segment = normal.substr(pos, end - pos);
        auto [it, added] = keys_.try_emplace(AsciiFold(prefix));
        if (added)
            it->second.path = spelled.empty() ? segment : spelled + "\\" + segment;
        key = &it->second;
        spelled = key->path;
        pos = end + 1;
    }
    return *key;
}

bool TRegTree::DeleteKey(std::string_view path)
{
    const std::string folded = AsciiFold(NormalizePath(path));
    if (folded.empty())
        return false;
    const auto it = keys_.find(folded);
    if (it == keys_.end())
        return false;
    auto end = std::next(it);
    while (end != keys_.end() && StartsWithFolder(end->first, folded))
        ++end;
    keys_.erase(it, end);
    return true;
}

std::vector<std::string> TRegTree::SubKeyNames(std::string_view path) const
{
    std::vector<std::string> names;
    const std::string folded = AsciiFold(NormalizePath(path));
    auto it = folded.empty() ? keys_.begin() : keys_.upper_bound(folded);
    for (; it != keys_.end(); ++it) {
        const std::string &candidate = it->first;
        std::size_t restStart = 0;
        if (!folded.empty()) {
            if (!StartsWithFolder(candidate, folded))
                break;
            restStart = folded.size() + 1;
        } else if (candidate.empty()) {
            continue; // the root itself
        }
        if (candidate.find('\\', restStart) == std::string::npos) {
            const std::string &spelled = it->second.path;
            names.push_back(spelled.substr(spelled.size() - (candidate.size() - restStart)));
        }
    }
    return names;
}

const TRegValue *TRegTree::FindValue(std::string_view path, std::string_view name) const
{
    const TRegKeyData *key = FindKey(path);
    if (!key)
        return nullptr;
    for (const TRegValue &value : key->values)
        if (SameTextAscii(value.name, name))
            return &value;
    return nullptr;
}

void TRegTree::SetValue(std::string_view path, TRegValue value)
{
    CheckName(value.name, "value name");
    TRegKeyData &key = CreateKey(path);
    for (TRegValue &existing : key.values) {
        if (SameTextAscii(existing.name, value.name)) {
            value.name = existing.name;
            existing = std::move(value);
            return;
        }
    }
    key.values.push_back(std::move(value));
}

bool TRegTree::DeleteValue(std::string_view path, std::string_view name)
{
    TRegKeyData *key = FindKeyMutable(path);
    if (!key)
        return false;
    return std::erase_if(key->values, [&](const TRegValue &v) { return SameTextAscii(v.name, name); }) > 0;
}
