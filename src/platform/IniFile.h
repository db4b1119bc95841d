#pragma once

#include "platform/FileIo.h"
#include "platform/MemIniFile.h"

#include <string>
#include <vector>

// A profile file used one call at a time, like the Windows profile functions:
// every read sees the file as it is on disk now (it is read again when another
// writer replaced it), and every write changes the file at once, atomically.
// For many changes in a row use TMemIniFile and save once; this class costs one
// file write per change. The format rules are those of TMemIniFile.
class TIniFile : public TCustomIniFile {
public:
    // Nothing is read yet; a missing file reads as empty.
    explicit TIniFile(std::string fileName);

    const std::string &FileName() const { return fileName_; }

    // Reads throw EModwright when the file exists but cannot be read; writes
    // throw EModwright when it cannot be written (the old file is then intact).
    std::string ReadString(const std::string &section, const std::string &ident,
                           const std::string &defaultValue) const override;
    void WriteString(const std::string &section, const std::string &ident, const std::string &value) override;
    std::vector<std::string> ReadSection(const std::string &section) const override;
    std::vector<std::string> ReadSections() const override;
    std::vector<std::string> ReadSectionValues(const std::string &section) const override;
    bool SectionExists(const std::string &section) const override;
    bool ValueExists(const std::string &section, const std::string &ident) const override;
    void EraseSection(const std::string &section) override;
    void DeleteKey(const std::string &section, const std::string &ident) override;

private:
    // The file's current contents, read again when its stamp changed.
    TMemIniFile &Current() const;
    // Applies one change to a fresh reading and writes it when something changed.
    template <class Change> void Modify(Change change);

    std::string fileName_;
    mutable TMemIniFile cache_;
    mutable TFileStamp stamp_;
    mutable bool loaded_ = false;
};
