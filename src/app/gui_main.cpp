#include "workbench/WorkbenchMain.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    return ModwrightMain(app, QApplication::arguments().mid(1));
}
