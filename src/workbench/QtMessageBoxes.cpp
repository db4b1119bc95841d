#include "workbench/QtMessageBoxes.h"

#include "workbench/ModwrightForm.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QWidget *BoxParent()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

} // namespace

QString TQtMessageBoxes::DisplayText(const QString &text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

void TQtMessageBoxes::information(const QString &text)
{
    QMessageBox::information(BoxParent(), ProgramTitle, DisplayText(text));
}

void TQtMessageBoxes::error(const QString &text)
{
    QMessageBox::critical(BoxParent(), ProgramTitle, DisplayText(text));
}

TMsgAnswer TQtMessageBoxes::confirm(const QString &text, TConfirmButtons buttons)
{
    QMessageBox::StandardButtons shown = QMessageBox::Yes | QMessageBox::No;
    if (buttons != cbYesNo)
        shown |= QMessageBox::Cancel;
    if (buttons == cbYesNoCancelAll)
        shown |= QMessageBox::YesToAll;
    const QMessageBox::StandardButton escape = buttons == cbYesNo ? QMessageBox::No : QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, ProgramTitle, DisplayText(text), shown, BoxParent());
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(escape);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return maYes;
    case QMessageBox::No:
        return maNo;
    case QMessageBox::YesToAll:
        return maAll;
    default:
        return buttons == cbYesNo ? maNo : maCancel;
    }
}
