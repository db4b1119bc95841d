#include "cli/CliMessageBoxes.h"

#include <ostream>

namespace {

// Message texts carry Windows line breaks; a terminal wants plain ones.
std::string Plain(const QString &text)
{
    QString t = text;
    t.replace("\r\n", "\n");
    return t.toStdString();
}

} // namespace

TCliMessageBoxes::TCliMessageBoxes(std::ostream &err) : err_(err), previous_(SetMessageBoxHandler(this)) {}

TCliMessageBoxes::~TCliMessageBoxes()
{
    SetMessageBoxHandler(previous_);
}

void TCliMessageBoxes::information(const QString &text)
{
    err_ << Plain(text) << "\n";
}

void TCliMessageBoxes::error(const QString &text)
{
    ++errors;
    err_ << Plain(text) << "\n";
}

TMsgAnswer TCliMessageBoxes::confirm(const QString &text, TConfirmButtons buttons)
{
    err_ << Plain(text) << " -> No\n";
    return maNo;
}
