// The main window's commands that open the settings dialog and the wizard.

#include "workbench/ModwrightForm.h"
#include "workbench/SettingForm.h"
#include "workbench/WizardForm.h"

void TModwrightForm::ShowSettings(int page)
{
    if (Hooks.settingsDialog)
        Hooks.settingsDialog(page);
    else
        TSettingForm::ShowSettings(*this, page);
}

void TModwrightForm::ShowWizard()
{
    if (Hooks.wizard)
        Hooks.wizard();
    else
        TWizardForm::ShowWizard(*this);
}
