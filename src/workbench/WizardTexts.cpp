// The introduction texts of the wizard.

#include "workbench/WizardForm.h"

QString WizardText(int step)
{
    switch (step) {
    case 1:
        return "Modwright helps you to make mods for ReBirth.\n\n"
               "A mod gives ReBirth a new look and new drum sounds. With Modwright you\n"
               "- assign your own images (BMP or JPEG) to the panels, knobs, buttons, LEDs and sliders "
               "of ReBirth,\n"
               "- assign your own drum samples (WAV or AIFF) to the drums of the 808 and the 909,\n"
               "- save these assignments and load them again later,\n"
               "- press Make! to convert all files and let ModPacker pack them into a mod,\n"
               "- start ReBirth to try your mod out.\n\n"
               "With the Glance preview you see your images the way ReBirth shows them: turn the knobs, "
               "press the buttons, and click the step buttons of the 808 and 909 to hear your drums.\n\n"
               "What Modwright does not do: it does not edit images or samples (use your favourite "
               "image or sample editor for that, Modwright starts it for you), and it cannot take the "
               "components out of an existing mod file.";
    case 3:
        return "The main window has two pages: one for the images of the mod and one for its drums.\n\n"
               "On each page the list on the left holds the components of the mod: every image or "
               "drum that a mod can replace, with the file you assigned to it.\n\n"
               "On the right is a file browser that shows the folders and files on your disk. Go to "
               "the folder where your images or samples are.\n\n"
               "The tool bar at the top holds the most used commands: new, open and save an "
               "assignment, Make!, run ReBirth, the image viewer and the Glance preview.";
    case 4:
        return "Assign a file by dragging it from the file browser on the right onto a component in the "
               "list on the left.\n\n"
               "A good start is the set of standard components that comes with ModPacker: Modwright "
               "loads it when you start with a new mod. Drag components from the left list into the "
               "file browser to save their files to disk, change them in your editor and assign them "
               "again.\n\n"
               "Drop many files at once on the empty area of the component list: Modwright assigns "
               "each file whose name matches a component.\n\n"
               "When everything is assigned, press Make! to create the mod, and ReBirth to try it.";
    case 5:
        return "Now you know the basics. Some more hints:\n\n"
               "- All commands are in the menus; many of them are also in the pop-up menus of the "
               "lists (right mouse button).\n"
               "- The status bar at the bottom tells what a command or a component is.\n"
               "- In the settings (menu Options) you choose what a click or a double click does, your "
               "image and sample editors, the JPEG quality of the mod and where ModPacker and ReBirth "
               "are installed.\n\n"
               "Have fun wrighting!";
    default:
        return {};
    }
}
