// The main window's commands that open the settings dialog and the wizard.

#include "workbench/ModwrightForm.h"
#include "workbench/SettingForm.h"
#include "workbench/WizardForm.h"

void TModwrightForm::ShowSettings(int page)
{
    TSettingForm::ShowSettings(*this, page);
}

void TModwrightForm::ShowWizard()
{
    TWizardForm::ShowWizard(*this);
}
