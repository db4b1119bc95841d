#pragma once

#include <QLabel>

// A small hint window a frame control shows beside itself while it is pressed, with
// the position in it: at most 100 pixels wide, in the application's tooltip colours.
class TMovingHint : public QLabel {
    Q_OBJECT

public:
    static constexpr int MaxHintWidth = 100;

    explicit TMovingHint(QWidget *owner);

    // Shows Text with its top-left corner at the global point.
    void ShowAt(const QString &text, const QPoint &globalTopLeft);
};
