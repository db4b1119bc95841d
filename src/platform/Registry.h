#pragma once

#include "platform/RegistryStore.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Value types as callers see them (the names of Delphi's TRegDataType).
enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

// A handle on one registry root with a current key, used the way the Windows
// registry is: open a key (relative to the current key, or from the root when
// the path starts with "\"), then read and write its values.
//
//   TRegistry reg(TRegRoot::CurrentUser);
//   if (reg.OpenKey("\\Software\\Talwen\\Modwright for ReBirth 2\\Current", true))
//       reg.WriteString("ModwrightPath", path);
//
// Keys and values live in a TRegistryStore (one file per root); see there for
// locking and atomic writes. Reads never fail: a missing value, or one of
// another type than asked for, gives the default. Writes throw EModwright when
// the file cannot be written. A key deleted by another process while open here
// is created again by the next write into it.
class TRegistry {
public:
    // A store of its own for the root's file in the configuration folder.
    explicit TRegistry(TRegRoot root = TRegRoot::CurrentUser);
    // Shares a store, e.g. to gather changes of several handles into one write.
    explicit TRegistry(std::shared_ptr<TRegistryStore> store);

    TRegRoot RootKey() const { return store_->Root(); }
    TRegistryStore &Store() { return *store_; }
    std::shared_ptr<TRegistryStore> SharedStore() const { return store_; }

    // Opens the key; with canCreate a missing key (and its parents) is created
    // first, which is a write. Returns false, keeping the current key, when the
    // key does not exist and may not be created.
    bool OpenKey(const std::string &key, bool canCreate);
    // As OpenKey without creating; writes through this handle then throw.
    bool OpenKeyReadOnly(const std::string &key);
    // Goes back to the root.
    void CloseKey();
    // The current key below the root, without leading "\" ("" for the root).
    const std::string &CurrentPath() const { return current_; }

    bool KeyExists(const std::string &key);
    // Creates the key with its parents; false when it existed already.
    bool CreateKey(const std::string &key);
    // Deletes the key with all its subkeys; false when it did not exist.
    bool DeleteKey(const std::string &key);
    bool HasSubKeys();
    // Direct subkeys / value names of the current key, in stored order.
    std::vector<std::string> GetKeyNames();
    std::vector<std::string> GetValueNames();

    // An empty name is the key's default value ("@").
    bool ValueExists(const std::string &name);
    TRegDataType GetDataType(const std::string &name); // rdUnknown when missing
    std::string ReadString(const std::string &name, const std::string &defaultValue = {});
    std::int32_t ReadInteger(const std::string &name, std::int32_t defaultValue = 0);
    std::vector<std::uint8_t> ReadBinary(const std::string &name); // empty unless binary
    void WriteString(const std::string &name, const std::string &value);
    void WriteExpandString(const std::string &name, const std::string &value);
    void WriteInteger(const std::string &name, std::int32_t value);
    void WriteBinary(const std::string &name, const std::vector<std::uint8_t> &value);
    // False when there was no such value.
    bool DeleteValue(const std::string &name);

private:
    // The full path of key: from the root when it starts with "\", else below the current key.
    std::string Resolve(const std::string &key) const;
    const TRegValue *Find(const std::string &name);
    void Write(TRegValue value);

    std::shared_ptr<TRegistryStore> store_;
    std::string current_;
    bool readOnly_ = false;
};
