#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The interface shared by every store that reads like an INI file: the profile
// files (TMemIniFile, TIniFile) and the registry seen as sections of values
// (TRegIniFile). Window placement, browser settings and the configuration store
// take a TCustomIniFile, so they work on either.
//
// Section and value names compare without regard to ASCII letter case and keep
// the case they were first written with. Reading never fails for a missing or
// unusable value: it yields the default. Writing raises EModwright with a
// message when the store cannot be written.
class TCustomIniFile {
public:
    virtual ~TCustomIniFile() = default;

    virtual std::string ReadString(const std::string &section, const std::string &ident,
                                   const std::string &defaultValue) const = 0;
    virtual void WriteString(const std::string &section, const std::string &ident,
                             const std::string &value) = 0;

    // A decimal number (or "0x"/"$" hexadecimal); anything else gives the default.
    virtual std::int32_t ReadInteger(const std::string &section, const std::string &ident,
                                     std::int32_t defaultValue) const;
    // Written as a decimal text here; the registry store overrides this.
    virtual void WriteInteger(const std::string &section, const std::string &ident, std::int32_t value);

    // True for any non-zero number, so "1" and a stored number 1 both read true.
    bool ReadBool(const std::string &section, const std::string &ident, bool defaultValue) const;
    // Booleans are written as the texts "1" and "0".
    void WriteBool(const std::string &section, const std::string &ident, bool value);

    // Value names of a section, in stored order.
    virtual std::vector<std::string> ReadSection(const std::string &section) const = 0;
    // Section names, in stored order.
    virtual std::vector<std::string> ReadSections() const = 0;
    // The section's values as whole "name=value" lines, in stored order.
    virtual std::vector<std::string> ReadSectionValues(const std::string &section) const = 0;

    virtual bool SectionExists(const std::string &section) const = 0;
    virtual bool ValueExists(const std::string &section, const std::string &ident) const = 0;

    // Removes the section and everything in it; a missing section is no error.
    virtual void EraseSection(const std::string &section) = 0;
    // Removes one value (Delphi's name for it); a missing value is no error.
    virtual void DeleteKey(const std::string &section, const std::string &ident) = 0;

    // Writes pending changes where the store keeps them in memory; no-op elsewhere.
    virtual void UpdateFile() {}
};
