#include "workbench/NewAssForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <memory>

TNewAssForm::TNewAssForm(QWidget *parent) : QDialog(parent)
{
    setObjectName("NewAssForm");
    setWindowTitle("New assignment");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);

    LText = new QLabel("Please choose your type of new mod:", this);
    LText->setObjectName("LText");
    RBStandard = new QRadioButton("&Load ReBirth's standard assignment", this);
    RBStandard->setObjectName("RBStandard");
    RBClear = new QRadioButton("&Clear all assignments", this);
    RBClear->setObjectName("RBClear");
    RBDemo = new QRadioButton("Start with the &demo mod", this);
    RBDemo->setObjectName("RBDemo");
    RBDemo->setToolTip("Every image and drum drawn and synthesised by Modwright: look at it in Glance, "
                       "play its drums, replace what you like.");
    RBStandard->setChecked(true);
    BOK = new QPushButton("&OK", this);
    BOK->setObjectName("BOK");
    BOK->setDefault(true);
    BCancel = new QPushButton("Cancel", this);
    BCancel->setObjectName("BCancel");
    BCancel->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LText);
    layout->addSpacing(4);
    layout->addWidget(RBStandard);
    layout->addWidget(RBClear);
    layout->addWidget(RBDemo);
    layout->addSpacing(8);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BOK);
    buttons->addWidget(BCancel);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(BOK, &QPushButton::clicked, this, &TNewAssForm::BOKClick);
    connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TNewAssChoice TNewAssForm::Answer() const
{
    if (RBDemo->isChecked())
        return nacDemo;
    return RBStandard->isChecked() ? nacStandard : nacClear;
}

void TNewAssForm::BOKClick()
{
    accept();
}

TNewAssChoice TNewAssForm::Execute(QWidget *parent)
{
    auto dialog = std::make_unique<TNewAssForm>(parent);
    if (parent) {
        dialog->adjustSize();
        const QRect owner = parent->frameGeometry();
        dialog->move(owner.center() - QPoint(dialog->width() / 2, dialog->height() / 2));
    }
    if (dialog->exec() != QDialog::Accepted)
        return nacCancel;
    return dialog->Answer();
}
