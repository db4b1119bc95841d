#pragma once

#include <QString>

// What the user has answered so far in one batch of saves.
struct TOverwriteState {
    bool Ask = true;           // ask before replacing an existing file
    bool OverwriteAll = false; // the answer when no longer asking
    bool Cancelled = false;    // the batch is to stop after this item
    bool SkipAllAsked = false; // "skip all following" was offered already
    bool Multiple = false;     // set by the caller: more than one file will be saved
};

// Whether the file at `path` may be written: true when it does not exist;
// otherwise asks "<name> already exists. Do you want to overwrite it ?" with
// Yes, No, Cancel (and All when Multiple), unless an earlier answer settled it.
// No in a batch offers once to skip all following existing files.
bool ConfirmOverwrite(const QString &path, TOverwriteState &state);
