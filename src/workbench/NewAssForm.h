#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;

// The question that starts a new mod: ReBirth's standard components, an empty
// assignment, or the demo mod that comes with the program.
enum TNewAssChoice { nacCancel, nacStandard, nacClear, nacDemo };

class TNewAssForm : public QDialog {
    Q_OBJECT

public:
    explicit TNewAssForm(QWidget *parent = nullptr);

    // Shows a dialog of its own modally, centred on `parent`: the choice made
    // with OK, nacCancel otherwise.
    static TNewAssChoice Execute(QWidget *parent);

    // The answer for the current choice, as OK gives it.
    TNewAssChoice Answer() const;
    void BOKClick();

    QLabel *LText = nullptr;
    QRadioButton *RBStandard = nullptr, *RBClear = nullptr, *RBDemo = nullptr;
    QPushButton *BOK = nullptr, *BCancel = nullptr;
};
