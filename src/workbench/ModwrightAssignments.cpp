// The main window's commands that replace, open and save whole assignments.

#include "common/BusyCursor.h"
#include "common/MessageBoxes.h"
#include "demo/DemoMod.h"
#include "modbuild/BuildContext.h"
#include "modbuild/ModImport.h"
#include "model/AssignmentSet.h"
#include "platform/RegIniFile.h"
#include "workbench/AssForm.h"
#include "workbench/ModwrightForm.h"
#include "workbench/NewAssForm.h"

bool TModwrightForm::SaveAssignmentDialog()
{
    const bool saved = TAssForm::Execute(*set_, Config(), TAssForm::amSave, this);
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
    case nacStandard:
        if (!::LoadStandardComponents(BuildContext()))
            ShowError("ReBirth's standard assignment could not be found: there is no \"Standard Components\" "
                      "folder beside ModPacker.\r\nCheck the ModPacker path in the settings.");
        break;
    case nacClear:
        set_->DetachAll();
        break;
    case nacDemo:
        LoadDemo();
        break;
    default:
        return;
    }
    UpdateCaption();
    UpdateCommands();
}

void TModwrightForm::StartWithDemo1Click()
{
    if (!AskToSave())
        return;
    LoadDemo();
}

void TModwrightForm::LoadDemo()
{
    QString folder;
    {
        // Made on first use when no data folder holds it: about a second.
        TBusyCursor busy;
        try {
            folder = DemoFolder();
        } catch (const std::exception &e) {
            ShowError(QString::fromUtf8(e.what()));
            return;
        }
        LoadDemoAssignment(*set_, folder);
    }
    if (set_->messages().HasMessages())
        set_->messages().ShowMessages();
    UpdateCaption();
    UpdateCommands();
    RefreshGlance();
}
