#pragma once

#include <QSpinBox>
#include <functional>

// A spin box whose arrows speed up while held: steps of 1 at first, of 5 after
// 2 seconds and of 10 after 5 seconds. A step that does not come from a held
// arrow (wheel, single click) is always 1. Text that is not a number in range
// reverts to the last value when the field is left.
class TAccelSpinBox : public QSpinBox {
    Q_OBJECT

public:
    explicit TAccelSpinBox(QWidget *parent = nullptr);

    // The step size after an arrow has been held for `heldMs` milliseconds.
    static int StepAfter(qint64 heldMs);

    // Milliseconds of a steady clock; tests replace it.
    std::function<qint64()> clock;

    void stepBy(int steps) override;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void startHold();

    bool held_ = false;
    qint64 holdStart_ = 0;
};
