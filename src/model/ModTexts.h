#pragma once

#include <QString>

// The five texts of a mod, written by Make! into the packer folder.
struct TModTexts {
    QString ModName;
    QString WWW;
    QString FTP;
    QString DemoSong; // path of a song file (".rbs")
    QString Comments; // may hold line breaks (CR LF)

    bool operator==(const TModTexts &) const = default;
};
