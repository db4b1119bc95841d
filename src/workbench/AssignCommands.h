#pragma once

#include <QString>
#include <QStringList>

class TAssignmentData;
class TModwrightForm;

// Putting files on components: finding the matching file of a component in a
// folder, assigning one file, all components at once by file name, or a list of
// files; and what clicks on the rows of the two lists do.

// The first existing file among the component's four candidate names in
// `folder` (mod file name, display name + own extension, mod file name with the
// other extension, display name + other extension), compared without regard
// to case; empty when none exists.
QString FindFileFor(const TAssignmentData &row, const QString &folder);
// The first entry of `files` whose file-name part equals one of the four
// candidate names regardless of case (candidate by candidate, then entry by
// entry); removed from the list when `takeOut`. Empty when none matches.
QString MatchFileFor(const TAssignmentData &row, QStringList &files, bool takeOut);

// Assigns `path` to `row`, reporting a refusal in the messages window.
void AssignOne(TModwrightForm &form, TAssignmentData &row, const QString &path);
// The Action menu's assign: the selected row's matching file of the browser's folder.
void AssignSelected(TModwrightForm &form);
// Every row of the active list gets its matching file of `folder`.
void AutoAssignAll(TModwrightForm &form, const QString &folder);
// Every row of the active list gets its match from `files`; the entries left
// over are reported.
void AssignFromList(TModwrightForm &form, QStringList files);

// Connects the assign commands and the row clicks of both tabs.
void ConnectAssignCommands(TModwrightForm &form);
