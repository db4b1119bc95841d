#include "modbuild/SaveCommands.h"

#include "common/MessageBoxes.h"
#include "modbuild/ComponentSave.h"
#include "modbuild/Overwrite.h"

namespace {

int PageOf(const TAssignmentData &row)
{
    return row.isImage ? 0 : 1;
}

QString Destination(const TBuildContext &ctx, const TAssignmentData &row, const QString &folder)
{
    const int page = PageOf(row);
    QString path = folder;
    if (!path.endsWith('/'))
        path += '/';
    return path + ComponentFileName(row, ctx.settings.UseVirtualNames[page], ctx.settings.UseOtherExt[page]);
}

} // namespace

void SaveAssignedFiles(const TBuildContext &ctx, const TAssignmentRows &rows, bool selectedOnly,
                       const std::function<bool(const TAssignmentData &)> &isSelected,
                       const TBrowserFolder &folder)
{
    auto wanted = [&](const TAssignmentData &row) {
        return row.isAssigned() && (!selectedOnly || (isSelected && isSelected(row)));
    };
    int count = 0;
    for (const auto &row : rows)
        if (wanted(*row))
            ++count;
    if (count == 0) {
        ShowInformation(selectedOnly
                            ? "Your selected items aren't assigned yet.\r\n"
                              "Drag files from right file list to left mod list to make assignments."
                            : "You haven't made any assignments yet.\r\n"
                              "Drag files from right file list to left mod list to make assignments.");
        return;
    }
    if (folder.path.isEmpty()) {
        ShowError("You cannot save into " + folder.displayName);
        return;
    }
    TMessages &messages = ctx.messages();
    messages.ClearMessages();
    TOverwriteState state;
    state.Multiple = count > 1;
    {
        TProgressScope progress(ctx.progress, "Saving assigned files...", count);
        for (const auto &row : rows) {
            if (!wanted(*row))
                continue;
            ctx.progress.StepProgress();
            const QString destination = Destination(ctx, *row, folder.path);
            if (ConfirmOverwrite(destination, state))
                SaveAssignedFile(*row, destination, messages, ctx.settings);
            if (state.Cancelled)
                break;
        }
    }
    if (messages.HasMessages())
        messages.ShowMessages();
}

void SaveAssignedFileAs(const TBuildContext &ctx, const TAssignmentData &row, const TBrowserFolder &folder)
{
    if (folder.path.isEmpty()) {
        ShowError("You cannot save into " + folder.displayName);
        return;
    }
    TMessages &messages = ctx.messages();
    messages.ClearMessages();
    const QString destination = Destination(ctx, row, folder.path);
    TOverwriteState state;
    if (ConfirmOverwrite(destination, state))
        SaveAssignedFile(row, destination, messages, ctx.settings);
    if (messages.HasMessages())
        messages.ShowMessages();
}
