// The main window's commands that work on the assignment and the outside programs.

#include "common/DataFiles.h"
#include "common/MessageBoxes.h"
#include "common/PathUtils.h"
#include "modbuild/BuildContext.h"
#include "modbuild/ExternalPrograms.h"
#include "modbuild/MakeMod.h"
#include "modbuild/ModImport.h"
#include "modbuild/SaveCommands.h"
#include "model/AssignmentSet.h"
#include "platform/Process.h"
#include "platform/RegIniFile.h"
#include "workbench/AppWaiter.h"
#include "workbench/ComponentList.h"
#include "workbench/ModText.h"
#include "workbench/ModwrightForm.h"
#include "workbench/SplashForm.h"

#include <QFileInfo>

namespace {

// The dialogs the mod-building commands ask for, as far as this build has them.
class TFormDialogs : public TBuildDialogs {
public:
    explicit TFormDialogs(TModwrightForm &form) : form_(form) {}
    bool EditModTexts() override { return form_.EditModTexts(); }
    void EditProgramPaths() override { form_.ShowSettings(1); }
    bool AskToSave() override { return form_.AskToSave(); }
    uint32_t WaitForModPacker(TProcess &process) override
    {
        // The caller holds the process until this returns, and the box waits
        // for its thread before it goes: a handle that does not own it will do.
        return TAppWaiter::WaitFor(std::shared_ptr<TProcess>(std::shared_ptr<TProcess>(), &process), &form_);
    }
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
        if (row.isImage)
            RefreshGlance();
    };
    set_->onSetChanged = [this] {
        UpdateCaption();
        UpdateCommands();
        RefreshGlance();
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

bool TModwrightForm::EditModTexts()
{
    const bool ok = TModText::Execute(*set_, Config(), this);
    UpdateCaption();
    UpdateCommands();
    return ok;
}

void TModwrightForm::ModDescription1Click()
{
    EditModTexts();
}

void TModwrightForm::BMakeModClick()
{
    TFormDialogs dialogs(*this);
    ::MakeMod(BuildContext(), dialogs);
    UpdateCommands();
}

void TModwrightForm::ExportMod1Click()
{
    TFormDialogs dialogs(*this);
    ExportMod(BuildContext(), dialogs, BrowserFolder(ActiveTab()));
    UpdateCommands();
}

void TModwrightForm::RunReBirth1Click()
{
    RunReBirth(Settings);
}

void TModwrightForm::FAQ1Click()
{
    ShowFAQ(FindDataFile("FAQ.txt"));
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
