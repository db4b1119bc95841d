#pragma once

#include <QString>
#include <QStringList>

// Copying, moving, linking and deleting files and folders for the file browser's commands
// (paste, drop, delete). Nothing is replaced or deleted without the user's yes through the
// message boxes (a "No" answer keeps the file, "Cancel" stops, "All" says yes to the rest);
// problems are collected and shown in one error message at the end.

enum TFileOp { foCopy, foMove, foLink };

struct TFileOpResult {
    int Done = 0;           // sources handled completely
    bool Cancelled = false; // the user said Cancel (or No to a delete)
    QStringList Errors;     // one line per problem
};

// Copies, moves or links `sources` into `folder`. A source already in `folder` is copied
// as "Copy of <name>", linked as "Link to <name>" and left alone by a move. A folder is never
// copied or moved into itself or below itself. Shows the errors when `report`.
TFileOpResult TransferFiles(const QStringList &sources, const QString &folder, TFileOp op,
                            bool report = true);

// Deletes the paths: into the desktop's trash when `allowUndo`, else for good. Asks first
// when `confirm`. Shows the errors when `report`.
TFileOpResult DeleteFiles(const QStringList &paths, bool allowUndo, bool confirm, bool report = true);

// True when `path` is `folder` or lies below it (both made absolute and clean first).
bool IsSameOrInside(const QString &path, const QString &folder);

// The first name "New Folder", "New Folder (0)", "New Folder (1)" ... that does not exist in
// `folder`, as a full path.
QString NewFolderName(const QString &folder, const QString &base = QStringLiteral("New Folder"));
