#include "workbench/HintStyle.h"

#include <QApplication>

int THintStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                          QStyleHintReturn *returnData) const
{
    switch (hint) {
    case SH_ToolTip_WakeUpDelay:
        return 2000;
    default:
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}

void THintStyle::Install()
{
    if (!dynamic_cast<THintStyle *>(QApplication::style()))
        QApplication::setStyle(new THintStyle);
}
