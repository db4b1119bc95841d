#pragma once

#include "model/AssignmentRows.h"
#include "model/Messages.h"
#include "model/ModTexts.h"
#include "platform/SafeDir.h"

#include <QString>
#include <QStringList>
#include <functional>

// The assignment currently in memory: which file stands for which component
// (in the catalogue's live entries), its name, its modified flag and the mod
// texts; and the named assignments kept side by side in one INI file, plus the
// backup that survives a crash.
//
// The two component lists own their rows (TAssignmentRows); the set walks them
// in display order, drums first. Windows follow the set through the callbacks.
class TAssignmentSet {
public:
    static constexpr const char *NoName = "(no name)";
    static constexpr const char *BackupFileName = "MdwBackUpAssignments.ini";
    static constexpr const char *ReadErrorText =
        "Error reading the assignment file\r\nSpecify a new assignment file in the settings.";
    static constexpr const char *WriteErrorText =
        "Error writing the Assignment file\r\nSpecify a new assignment file in the settings.";

    // Checks and measures a file for a row (fills row.info, may add warning
    // lines), raising EModwright when the file can't be used. The default
    // only requires the file to exist.
    using TFileCheck = std::function<void(TAssignmentData &row, const QString &path, TMessages &messages)>;

    TAssignmentSet(TAssignmentRows &drums, TAssignmentRows &images, TMessages &messages);

    // The INI file of named assignments, and the backup file's full path.
    QString assignmentFile;
    QString backupFile;

    QString name; // "" at start, "(no name)" after New or the standard set
    bool modified = false;
    TModTexts texts;

    TFileCheck fileCheck;
    std::function<void(TAssignmentData &)> onRowChanged; // icon and columns of a row
    std::function<void()> onSetChanged;                  // caption, commands, preview
    std::function<void(bool busy)> onBusy;               // hourglass pointer on/off

    // Checks the file and, when it may be used, assigns it and marks the set modified.
    void AssignFile(TAssignmentData &row, const QString &path);
    void DetachFile(TAssignmentData *row);
    void DetachAll();

    bool LoadAssignment(const QString &assignmentName, bool showMessages, bool tryBackup);
    void SaveAssignment(const QString &assignmentName);
    void SaveBackup();
    void DeleteBackup();
    // True when the backup file is a regular file of the user's own inside the
    // checked working folder (a real folder of the user's, not writable by group
    // or others); only such a backup is ever read.
    bool BackupExists() const;
    // Why an entry in the backup file's place is not used (a link, a file of
    // another user, ...), as one line naming the file; empty when there is none
    // or it is usable.
    QString BackupProblem() const;
    // Copies the backup file of an earlier working folder into the current one,
    // when that folder passes the check, the file there is the user's own and the
    // current folder holds no backup yet; returns whether it did.
    bool AdoptBackup(const QString &oldFolder);
    void ResetAssignment();

    QStringList ListAssignments() const;
    QStringList AssignmentContents(const QString &assignmentName) const;
    void DeleteAssignment(const QString &assignmentName);

    TAssignmentRows &drumRows() const { return drums_; }
    TAssignmentRows &imageRows() const { return images_; }
    TMessages &messages() const { return messages_; }

    // Default location of the assignment file: `configured` when non-empty and
    // its folder is writable, else the program's folder, else the documents folder.
    static QString DefaultAssignmentFile(const QString &configured);

private:
    TSafeDir backupFolder() const;
    QString backupName() const;
    void writeAssignment(const QString &assignmentName, bool toBackup);
    void changed();
    void rowChanged(TAssignmentData &row);
    void busy(bool on);

    TAssignmentRows &drums_;
    TAssignmentRows &images_;
    TMessages &messages_;
};

// The default file check: "%s does not exist." when the file is missing.
void CheckFileExists(TAssignmentData &row, const QString &path, TMessages &messages);
