// The main window's commands that replace, open and save whole assignments.

#include "common/MessageBoxes.h"
#include "modbuild/BuildContext.h"
#include "modbuild/ModImport.h"
#include "model/AssignmentSet.h"
#include "platform/RegIniFile.h"
#include "workbench/AssForm.h"
#include "workbench/ModwrightForm.h"
#include "workbench/NewAssForm.h"

bool TModwrightForm::SaveAssignmentDialog()
{
    const bool saved = Hooks.saveAssignmentDialog ? Hooks.saveAssignmentDialog()
                                                  : TAssForm::Execute(*set_, Config(), TAssForm::amSave, this);
    UpdateCaption();
    UpdateCommands();
    return saved;
}

void TModwrightForm::SaveAssignment1Click()
{
    // Always the dialog: there is no silent save under the current name.
    SaveAssignmentDialog();
}

void TModwrightForm::OpenAssignment1Click()
{
    if (!AskToSave())
        return;
    TAssForm::Execute(*set_, Config(), TAssForm::amOpen, this);
    UpdateCaption();
    UpdateCommands();
}

void TModwrightForm::New1Click()
{
    if (!AskToSave())
        return;
    switch (TNewAssForm::Execute(this)) {
    case maYes:
        if (!::LoadStandardComponents(BuildContext()))
            ShowError("ReBirth's standard assignment could not be found: there is no \"Standard Components\" "
                      "folder beside ModPacker.\r\nCheck the ModPacker path in the settings.");
        break;
    case maNo:
        set_->DetachAll();
        break;
    default:
        return;
    }
    UpdateCaption();
    UpdateCommands();
}
