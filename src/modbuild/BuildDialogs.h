#pragma once

#include <cstdint>

class TProcess;

// The windows that the mod-building commands open on their way: the main
// window implements them with its dialogs, the command line and the tests
// answer them directly.
class TBuildDialogs {
public:
    virtual ~TBuildDialogs() = default;
    // The mod texts dialog, modal; true when it closed with OK.
    virtual bool EditModTexts() = 0;
    // The settings dialog opened on its page of program paths, modal.
    virtual void EditProgramPaths() = 0;
    // Offers to save a modified assignment; false when the user cancelled.
    virtual bool AskToSave() = 0;
    // The waiting box shown while ModPacker runs; returns when the process has
    // ended, with its exit code.
    virtual uint32_t WaitForModPacker(TProcess &process) = 0;
    // Repaints the main window before a longer pause.
    virtual void Repaint() {}
};
