#include "workbench/ErrForm.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TErrForm::TErrForm(bool &showWarnings, bool &showInfos, QWidget *parent)
    : QDialog(parent), showWarnings_(showWarnings), showInfos_(showInfos)
{
    setObjectName("ErrForm");
    setWindowTitle("Messages");
    resize(520, 340);

    auto *top = new QLabel(" The following messages occured:", this);
    top->setObjectName("TopPanel");

    MemoError = new QPlainTextEdit(this);
    MemoError->setObjectName("MemoError");
    MemoError->setReadOnly(true);
    MemoError->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoError->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto *group = new QGroupBox("Next time", this);
    CBWarnings = new QCheckBox("Show warnings", group);
    CBWarnings->setObjectName("CBWarnings");
    CBInfos = new QCheckBox("Show infos", group);
    CBInfos->setObjectName("CBInfos");
    auto *groupLayout = new QHBoxLayout(group);
    groupLayout->addWidget(CBWarnings);
    groupLayout->addWidget(CBInfos);
    groupLayout->addStretch();

    BClose = new QPushButton("Close", this);
    BClose->setObjectName("BClose");
    BClose->setDefault(true);
    connect(BClose, &QPushButton::clicked, this, &QDialog::accept);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(group, 1);
    bottom->addWidget(BClose, 0, Qt::AlignBottom);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(top);
    layout->addWidget(MemoError, 1);
    layout->addLayout(bottom);
    ClearMessages();
}

void TErrForm::ClearMessages()
{
    lines_.clear();
    MemoError->clear();
}

void TErrForm::AddMessage(const QString &line)
{
    lines_ << line;
    MemoError->appendPlainText(line);
}

bool TErrForm::HasMessages() const
{
    return !lines_.isEmpty();
}

void TErrForm::ShowMessages()
{
    exec();
}

void TErrForm::showEvent(QShowEvent *event)
{
    CBWarnings->setChecked(showWarnings_);
    CBInfos->setChecked(showInfos_);
    QDialog::showEvent(event);
}

void TErrForm::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    ClearMessages();
    showWarnings_ = CBWarnings->isChecked();
    showInfos_ = CBInfos->isChecked();
}
