// The main window's side of the Glance preview: opening it and keeping it current.

#include "platform/RegIniFile.h"
#include "preview/GlanceForm.h"
#include "workbench/ModwrightForm.h"

void TModwrightForm::Glance1Click()
{
    // The preview destroys itself when it is closed; the pointer then reads null.
    if (!Glance)
        Glance = new TGlanceForm(config_.get(), ProgramTitle, this);
    Glance->show();
    Glance->raise();
    Glance->activateWindow();
}

void TModwrightForm::RefreshGlance()
{
    if (Glance && Glance->isVisible() && Glance->ElementsCreated())
        Glance->RefreshImages(false);
}
