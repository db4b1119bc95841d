#include "workbench/DesignScale.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <cmath>

double DesignScale()
{
    static const double scale = [] {
        if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
            return 1.0;
        const int average = QFontMetrics(QGuiApplication::font()).averageCharWidth();
        return std::max(1.0, average / 5.0);
    }();
    return scale;
}

int Design(int pixels)
{
    return int(std::lround(pixels * DesignScale()));
}
