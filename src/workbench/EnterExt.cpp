#include "workbench/EnterExt.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

TEnterExt::THandler &Handler()
{
    static TEnterExt::THandler handler;
    return handler;
}

} // namespace

TEnterExt::TEnterExt(const QString &caption, const QString &label, const QString &text, QWidget *parent)
    : QDialog(parent)
{
    setObjectName("EnterExt");
    setWindowTitle(caption);
    auto *layout = new QVBoxLayout(this);
    LName = new QLabel(label, this);
    LName->setObjectName("LName");
    EName = new QLineEdit(text, this);
    EName->setObjectName("EName");
    EName->selectAll();
    LName->setBuddy(EName);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(LName);
    layout->addWidget(EName);
    layout->addWidget(buttons);
    setMinimumWidth(300);
}

bool TEnterExt::Execute(QWidget *parent, const QString &caption, const QString &label, QString &text)
{
    if (Handler())
        return Handler()(caption, label, text);
    TEnterExt dialog(caption, label, text, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    text = dialog.EName->text();
    return true;
}

void TEnterExt::SetHandler(THandler handler)
{
    Handler() = std::move(handler);
}
