#pragma once

#include "platform/CustomIniFile.h"
#include "platform/RegistryStore.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The registry seen as an INI file: below a base key, every subkey is a section
// and its values are the section's values. The configuration store is one:
//
//   TRegIniFile config(TRegRoot::CurrentUser, "Software\\Talwen\\Modwright for ReBirth 2");
//   config.WriteBool("Current", "ShowToolbar", true);
//   int ratio = config.ReadInteger("Current", "JpegCompressionRatio", 98);
//
// The empty section "" is the base key itself. Strings are registry strings;
// booleans are the strings "1" and "0" (the context-menu library reads them as
// text); integers follow the configuration store's rule: WriteInteger writes a
// registry number, except that it writes the decimal string when a string value
// of that name already exists. ReadInteger accepts either form, ReadBool any
// non-zero number; a value of another type reads as the default.
//
// Nothing is created by reading. Each write is one locked, atomic change of the
// root's file; between BeginUpdate() and EndUpdate() the writes are gathered
// into one (SaveSettings writes about seventy values).
class TRegIniFile : public TCustomIniFile {
public:
    TRegIniFile(TRegRoot root, std::string baseKey);
    TRegIniFile(std::shared_ptr<TRegistryStore> store, std::string baseKey);

    const std::string &BaseKey() const { return base_; }
    TRegistryStore &Store() const { return *store_; }

    std::string ReadString(const std::string &section, const std::string &ident,
                           const std::string &defaultValue) const override;
    void WriteString(const std::string &section, const std::string &ident, const std::string &value) override;
    std::int32_t ReadInteger(const std::string &section, const std::string &ident,
                             std::int32_t defaultValue) const override;
    void WriteInteger(const std::string &section, const std::string &ident, std::int32_t value) override;
    // Binary values (a browser's last folder as an identifier list); empty when
    // missing or of another type; HasBinary tells a missing value from an empty one.
    std::vector<std::uint8_t> ReadBinary(const std::string &section, const std::string &ident) const;
    bool HasBinary(const std::string &section, const std::string &ident) const;
    void WriteBinary(const std::string &section, const std::string &ident,
                     const std::vector<std::uint8_t> &value);

    // Value names of the section's key (the unnamed default value is left out).
    std::vector<std::string> ReadSection(const std::string &section) const override;
    // Names of the base key's subkeys.
    std::vector<std::string> ReadSections() const override;
    // "name=value" for string and number values (numbers in decimal).
    std::vector<std::string> ReadSectionValues(const std::string &section) const override;
    bool SectionExists(const std::string &section) const override;
    bool ValueExists(const std::string &section, const std::string &ident) const override;
    // Deletes the section's key with its subkeys.
    void EraseSection(const std::string &section) override;
    void DeleteKey(const std::string &section, const std::string &ident) override;

    void BeginUpdate() { store_->BeginUpdate(); }
    // Writes the gathered changes; throws EModwright on failure.
    void EndUpdate() { store_->EndUpdate(); }

private:
    std::string SectionPath(const std::string &section) const;
    const TRegValue *Find(const std::string &section, const std::string &ident) const;

    std::shared_ptr<TRegistryStore> store_;
    std::string base_;
};
