#include "platform/IniFile.h"

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

TMemIniFile &TIniFile::Current() const
{
    const TFileStamp now = FileStamp(fileName_);
    if (!loaded_ || now != stamp_) {
        loaded_ = false;
        cache_ = TMemIniFile(fileName_);
        stamp_ = now;
        loaded_ = true;
    }
    return cache_;
}

template <class Change> void TIniFile::Modify(Change change)
{
    TMemIniFile &ini = Current();
    change(ini);
    if (!ini.Modified())
        return;
    try {
        ini.UpdateFile();
    } catch (...) {
        loaded_ = false; // the cache holds a change the file does not
        throw;
    }
    stamp_ = FileStamp(fileName_);
}

std::string TIniFile::ReadString(const std::string &section, const std::string &ident,
                                 const std::string &defaultValue) const
{
    return Current().ReadString(section, ident, defaultValue);
}

void TIniFile::WriteString(const std::string &section, const std::string &ident, const std::string &value)
{
    Modify([&](TMemIniFile &ini) { ini.WriteString(section, ident, value); });
}

std::vector<std::string> TIniFile::ReadSection(const std::string &section) const
{
    return Current().ReadSection(section);
}

std::vector<std::string> TIniFile::ReadSections() const
{
    return Current().ReadSections();
}

std::vector<std::string> TIniFile::ReadSectionValues(const std::string &section) const
{
    return Current().ReadSectionValues(section);
}

bool TIniFile::SectionExists(const std::string &section) const
{
    return Current().SectionExists(section);
}

bool TIniFile::ValueExists(const std::string &section, const std::string &ident) const
{
    return Current().ValueExists(section, ident);
}

void TIniFile::EraseSection(const std::string &section)
{
    Modify([&](TMemIniFile &ini) { ini.EraseSection(section); });
}

void TIniFile::DeleteKey(const std::string &section, const std::string &ident)
{
    Modify([&](TMemIniFile &ini) { ini.DeleteKey(section, ident); });
}
