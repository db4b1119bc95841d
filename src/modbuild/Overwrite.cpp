#include "modbuild/Overwrite.h"

#include "common/MessageBoxes.h"

#include <QFileInfo>

bool ConfirmOverwrite(const QString &path, TOverwriteState &state)
{
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    if (!state.Ask)
        return state.OverwriteAll;
    const TMsgAnswer answer =
        AskConfirmation(info.fileName() + " already exists.\r\nDo you want to overwrite it ?",
                        state.Multiple ? cbYesNoCancelAll : cbYesNoCancel);
    switch (answer) {
    case maYes:
        return true;
    case maAll:
        state.Ask = false;
        state.OverwriteAll = true;
        return true;
    case maCancel:
        state.Cancelled = true;
        return false;
    default:
        break;
    }
    // No.
    if (state.Multiple && !state.SkipAllAsked) {
        state.SkipAllAsked = true;
        // Yes stops the asking with OverwriteAll off: every later existing file is skipped.
        if (AskConfirmation("Do want to skip all following existing files ?", cbYesNo) == maYes)
            state.Ask = false;
    }
    return false;
}
