// The main window's commands that work on the assignment and the outside programs.

#include "common/PathUtils.h"
#include "modbuild/BuildContext.h"
#include "modbuild/ExternalPrograms.h"
#include "modbuild/ModImport.h"
#include "modbuild/SaveCommands.h"
#include "model/AssignmentSet.h"
#include "platform/Process.h"
#include "workbench/ComponentList.h"
#include "workbench/ModwrightForm.h"
#include "workbench/SplashForm.h"

#include <QFileInfo>

namespace {

// The dialogs the mod-building commands ask for, as far as this build has them.
class TFormDialogs : public TBuildDialogs {
public:
    explicit TFormDialogs(TModwrightForm &form) : form_(form) {}
    // No mod texts dialog in this build (the commands that need it are off): as cancelled.
    bool EditModTexts() override { return false; }
    void EditProgramPaths() override
    {
        if (form_.Hooks.settingsDialog)
            form_.Hooks.settingsDialog(1);
    }
    bool AskToSave() override { return form_.AskToSave(); }
    uint32_t WaitForModPacker(TProcess &process) override { return process.Wait(); }
    void Repaint() override { form_.repaint(); }

private:
    TModwrightForm &form_;
};

} // namespace

void TModwrightForm::connectSet()
{
    set_->onRowChanged = [this](TAssignmentData &row) {
        TComponentList *list = List(row.isImage ? 0 : 1);
        list->RowChanged(row);
        if (list == ActiveList() && list->SelectedRow() == &row)
            ShowItemStatus(&row);
        UpdateCommands();
    };
    set_->onSetChanged = [this] {
        UpdateCaption();
        UpdateCommands();
    };
    set_->onBusy = [this](bool busy) { SetBusy(busy); };
}

void TModwrightForm::DetachSelected1Click()
{
    TComponentList *list = ActiveList();
    for (TAssignmentData *row : list->SelectedRows())
        set_->DetachFile(row);
    ShowItemStatus(list->SelectedRow());
    UpdateCommands();
}

void TModwrightForm::DetachAll1Click()
{
    TComponentList *list = ActiveList();
    for (const auto &row : list->Rows())
        set_->DetachFile(row.get());
    ShowItemStatus(list->SelectedRow());
    UpdateCommands();
}

void TModwrightForm::SaveAs1Click()
{
    const std::vector<TAssignmentData *> selected = ActiveList()->SelectedRows();
    if (selected.size() == 1)
        SaveAssignedFileAs(BuildContext(), *selected.front(), BrowserFolder(ActiveTab()));
}

void TModwrightForm::SaveAll1Click()
{
    SaveAssignedFiles(BuildContext(), ActiveList()->Rows(), false, {}, BrowserFolder(ActiveTab()));
}

void TModwrightForm::ImportMod1Click()
{
    TFormDialogs dialogs(*this);
    ImportMod(BuildContext(), dialogs, BrowserFolder(ActiveTab()));
    UpdateCaption();
    UpdateCommands();
}

void TModwrightForm::RunReBirth1Click()
{
    RunReBirth(Settings);
}

void TModwrightForm::FAQ1Click()
{
    ShowFAQ(QFileInfo(ProgramPath()).absolutePath());
}

void TModwrightForm::About1Click()
{
    TSplashForm1::CreateAbout(this);
}

void TModwrightForm::LoadStandardComponents()
{
    ::LoadStandardComponents(BuildContext());
    UpdateCaption();
    UpdateCommands();
}
