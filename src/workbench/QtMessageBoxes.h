#pragma once

#include "common/MessageBoxes.h"

// The program's message boxes on QMessageBox, titled with the program title.
// Line breaks written as CR LF (or LF CR) in the texts show as one break.
class TQtMessageBoxes : public TMessageBoxHandler {
public:
    void information(const QString &text) override;
    void error(const QString &text) override;
    TMsgAnswer confirm(const QString &text, TConfirmButtons buttons) override;

    // The text as the box shows it.
    static QString DisplayText(const QString &text);
};
