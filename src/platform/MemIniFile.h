#pragma once

#include "platform/CustomIniFile.h"

#include <string>
#include <string_view>
#include <vector>

// A profile file (the Windows INI format) held in memory: load once, read and
// change as much as needed, then write it back once with UpdateFile(). This is
// what the assignment file uses; a save of one assignment changes about a
// hundred values and costs a single atomic write.
//
// Format rules, as Windows profile files have them:
// - "[name]" starts a section; the name is everything between the "[" and the
//   last "]" on the line, exactly as written.
// - "key=value" lines follow. Blanks around the key are ignored; the value is
//   everything after the first "=" exactly (so values round-trip unchanged).
// - Section and key names compare without regard to ASCII letter case and keep
//   their first spelling; keys keep their order. Reading a key that occurs twice
//   gives the first; a section that occurs twice is merged into the first.
// - Tolerant loading: CR LF or LF line ends, UTF-8 byte-order marks (at the
//   start, or where two files were joined).
//   Other lines (comments, text without "=") are kept in place and written back
//   but are no values; lines with binary bytes (control characters other than
//   tab and CR) are dropped, so a damaged file reads as far as it is sound.
// - Written with CR LF line ends, a blank line between sections.
// Texts are bytes (UTF-8 by convention); nothing is converted.
class TMemIniFile : public TCustomIniFile {
public:
    // An empty profile not tied to a file (UpdateFile() needs SetFileName()).
    TMemIniFile() = default;
    // Loads the file; a missing file reads as empty. Throws EModwright when the
    // file exists but cannot be read.
    explicit TMemIniFile(std::string fileName);

    const std::string &FileName() const { return fileName_; }
    // Names the file that UpdateFile() writes; the contents stay as they are.
    void SetFileName(std::string fileName) { fileName_ = std::move(fileName); }

    // Replaces the contents with the parsed text / gives the text UpdateFile() writes.
    void SetText(std::string_view text);
    std::string Text() const;
    void Clear();

    // True after a change since loading or the last UpdateFile().
    bool Modified() const { return modified_; }

    // Writes the file atomically when it was changed (or does not exist yet).
    // Throws EModwright when it cannot be written; the old file is then intact.
    void UpdateFile() override;

    std::string ReadString(const std::string &section, const std::string &ident,
                           const std::string &defaultValue) const override;
    // Throws EModwright for names the format cannot hold: an empty key, a key
    // with "=", starting with "[" or ";", or any name or value with a line feed
    // or a zero byte.
    void WriteString(const std::string &section, const std::string &ident, const std::string &value) override;

    std::vector<std::string> ReadSection(const std::string &section) const override;
    std::vector<std::string> ReadSections() const override;
    std::vector<std::string> ReadSectionValues(const std::string &section) const override;
    bool SectionExists(const std::string &section) const override;
    bool ValueExists(const std::string &section, const std::string &ident) const override;
    void EraseSection(const std::string &section) override;
    void DeleteKey(const std::string &section, const std::string &ident) override;

private:
    // One line inside a section: a value, or other text kept as it was.
    struct TLine {
        bool isValue = false;
        std::string key;    // as written (trimmed)
        std::string folded; // key in lower case, for lookups
        std::string value;  // the value, or the whole text of a non-value line
    };
    struct TSection {
        std::string name;
        std::string folded;
        std::vector<TLine> lines;
    };

    const TSection *FindSection(const std::string &section) const;
    TSection *FindSection(const std::string &section);
    static const TLine *FindLine(const TSection &section, const std::string &foldedKey);

    std::string fileName_;
    std::vector<std::string> preamble_; // lines before the first section
    std::vector<TSection> sections_;
    bool modified_ = false;
    bool onDisk_ = false;
};
