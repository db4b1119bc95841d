#include "platform/MemIniFile.h"

#include "platform/Exception.h"
#include "platform/FileIo.h"
#include "platform/TextUtil.h"

#include <algorithm>

namespace {

// Binary bytes mark a damaged line; tab and CR (a value may hold a lone CR) pass.
bool HasBinaryBytes(std::string_view line)
{
    return std::any_of(line.begin(), line.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 && c != '\t' && c != '\r';
    });
}

void CheckSectionName(const std::string &section)
{
    if (section.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
        throw EModwright("The section name \"" + section + "\" cannot be written to a profile file.");
}

void CheckKey(std::string_view key, const std::string &original)
{
    if (key.empty() || key.front() == '[' || key.front() == ';' ||
        key.find_first_of(std::string_view("=\r\n\0", 4)) != std::string_view::npos)
        throw EModwright("The key name \"" + original + "\" cannot be written to a profile file.");
}

void CheckValue(const std::string &value, const std::string &key)
{
    if (value.find_first_of(std::string_view("\n\0", 2)) != std::string::npos)
        throw EModwright("The value of \"" + key +
                         "\" holds a line break and cannot be written to a profile file.");
}

} // namespace

TMemIniFile::TMemIniFile(std::string fileName) : fileName_(std::move(fileName))
{
    std::string text;
    onDisk_ = ReadWholeFile(fileName_, text);
    SetText(text);
    modified_ = false;
}

void TMemIniFile::Clear()
{
    preamble_.clear();
    sections_.clear();
    modified_ = true;
}

void TMemIniFile::SetText(std::string_view text)
{
    preamble_.clear();
    sections_.clear();
    modified_ = true;

    TSection *current = nullptr;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (HasBinaryBytes(line))
            continue;
        // Leading blanks never matter; trailing ones belong to a value. A
        // byte-order mark starts the file, or a line where files were joined.
        for (;;) {
            if (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
                line.remove_prefix(1);
            else if (line.substr(0, 3) == "\xEF\xBB\xBF")
                line.remove_prefix(3);
            else
                break;
        }
        if (TrimBlanks(line).empty())
            continue; // blank lines are written anew between sections

        if (line.front() == '[') {
            // The name ends at the last "]", so names holding "]" survive.
            const std::size_t close = line.rfind(']');
            const std::string name(close == std::string_view::npos ? line.substr(1)
                                                                   : line.substr(1, close - 1));
            current = FindSection(name);
            if (!current) {
                sections_.push_back({name, AsciiFold(name), {}});
                current = &sections_.back();
            }
            continue;
        }
        const std::size_t equals = line.find('=');
        const std::string_view key = TrimBlanks(line.substr(0, std::min(equals, line.size())));
        if (!current || equals == std::string_view::npos || key.empty() || line.front() == ';') {
            if (current)
                current->lines.push_back({false, {}, {}, std::string(line)});
            else
                preamble_.emplace_back(line);
            continue;
        }
        current->lines.push_back(
            {true, std::string(key), AsciiFold(key), std::string(line.substr(equals + 1))});
    }
}

std::string TMemIniFile::Text() const
{
    std::string text;
    for (const std::string &line : preamble_)
        text += line + "\r\n";
    bool first = true;
    for (const TSection &section : sections_) {
        if (!first)
            text += "\r\n";
        first = false;
        text += "[" + section.name + "]\r\n";
        for (const TLine &line : section.lines) {
            if (line.isValue)
                text += line.key + "=" + line.value + "\r\n";
            else
                text += line.value + "\r\n";
        }
    }
    return text;
}

void TMemIniFile::UpdateFile()
{
    if (fileName_.empty())
        throw EModwright("Cannot write a profile file without a name.");
    if (!modified_ && onDisk_)
        return;
    WriteFileAtomic(fileName_, Text());
    modified_ = false;
    onDisk_ = true;
}

const TMemIniFile::TSection *TMemIniFile::FindSection(const std::string &section) const
{
    for (const TSection &s : sections_)
        if (SameTextAscii(s.name, section))
            return &s;
    return nullptr;
}

TMemIniFile::TSection *TMemIniFile::FindSection(const std::string &section)
{
    return const_cast<TSection *>(static_cast<const TMemIniFile *>(this)->FindSection(section));
}

const TMemIniFile::TLine *TMemIniFile::FindLine(const TSection &section, const std::string &foldedKey)
{
    for (const TLine &line : section.lines)
        if (line.isValue && line.folded == foldedKey)
            return &line;
    return nullptr;
}

std::string TMemIniFile::ReadString(const std::string &section, const std::string &ident,
                                    const std::string &defaultValue) const
{
    const TSection *s = FindSection(section);
    if (!s)
        return defaultValue;
    const TLine *line = FindLine(*s, AsciiFold(TrimBlanks(ident)));
    return line ? line->value : defaultValue;
}

void TMemIniFile::WriteString(const std::string &section, const std::string &ident, const std::string &value)
{
    const std::string_view key = TrimBlanks(ident);
    CheckSectionName(section);
    CheckKey(key, ident);
    CheckValue(value, ident);

    TSection *s = FindSection(section);
    if (!s) {
        sections_.push_back({section, AsciiFold(section), {}});
        s = &sections_.back();
    }
    const std::string folded = AsciiFold(key);
    if (TLine *line = const_cast<TLine *>(FindLine(*s, folded))) {
        if (line->value == value)
            return;
        line->value = value;
    } else {
        // After the last value, so that comments at the section's end stay there.
        auto after =
            std::find_if(s->lines.rbegin(), s->lines.rend(), [](const TLine &l) { return l.isValue; });
        s->lines.insert(after.base(), {true, std::string(key), folded, value});
    }
    modified_ = true;
}

std::vector<std::string> TMemIniFile::ReadSection(const std::string &section) const
{
    std::vector<std::string> names;
    if (const TSection *s = FindSection(section))
        for (const TLine &line : s->lines)
            if (line.isValue)
                names.push_back(line.key);
    return names;
}

std::vector<std::string> TMemIniFile::ReadSections() const
{
    std::vector<std::string> names;
    names.reserve(sections_.size());
    for (const TSection &s : sections_)
        names.push_back(s.name);
    return names;
}

std::vector<std::string> TMemIniFile::ReadSectionValues(const std::string &section) const
{
    std::vector<std::string> lines;
    if (const TSection *s = FindSection(section))
        for (const TLine &line : s->lines)
            if (line.isValue)
                lines.push_back(line.key + "=" + line.value);
    return lines;
}

bool TMemIniFile::SectionExists(const std::string &section) const
{
    return FindSection(section) != nullptr;
}

bool TMemIniFile::ValueExists(const std::string &section, const std::string &ident) const
{
    const TSection *s = FindSection(section);
    return s && FindLine(*s, AsciiFold(TrimBlanks(ident))) != nullptr;
}

void TMemIniFile::EraseSection(const std::string &section)
{
    const std::string folded = AsciiFold(section);
    const auto before = sections_.size();
    std::erase_if(sections_, [&](const TSection &s) { return s.folded == folded; });
    if (sections_.size() != before)
        modified_ = true;
}

void TMemIniFile::DeleteKey(const std::string &section, const std::string &ident)
{
    TSection *s = FindSection(section);
    if (!s)
        return;
    const std::string folded = AsciiFold(TrimBlanks(ident));
    if (std::erase_if(s->lines, [&](const TLine &l) { return l.isValue && l.folded == folded; }) > 0)
        modified_ = true;
}
