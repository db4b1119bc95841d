#pragma once

#include "common/MessageBoxes.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;

// The question that starts a new mod: ReBirth's standard components or an
// empty assignment.
class TNewAssForm : public QDialog {
    Q_OBJECT

public:
    explicit TNewAssForm(QWidget *parent = nullptr);

    // Shows a dialog of its own modally, centred on `parent`: maYes for the
    // standard assignment, maNo for clearing everything, maCancel otherwise.
    static TMsgAnswer Execute(QWidget *parent);

    // The answer for the current choice, as OK gives it.
    TMsgAnswer Answer() const;
    void BOKClick();

    QLabel *LText = nullptr;
    QRadioButton *RBStandard = nullptr, *RBClear = nullptr;
    QPushButton *BOK = nullptr, *BCancel = nullptr;
};
