#pragma once

#include <QPoint>
#include <QTreeView>

// The program's report list: several rows can be selected, nothing is edited in
// place, the selection stays visible without the focus. Beyond an ordinary list
// it raises its own drag start (a move of more than 2 pixels in x or y with the
// left button held, for the row under the press point; the move is not passed
// on), and it takes Enter as a double click, Space as a single click and Ctrl+A
// as "select all".
class TKivoListView : public QTreeView {
    Q_OBJECT

public:
    explicit TKivoListView(QWidget *parent = nullptr);

    // Whether anyone listens to DragStart; without a listener moves go on as usual.
    void SetDragStartEnabled(bool on) { dragStartEnabled_ = on; }

signals:
    void DragStart(const QModelIndex &row);
    void ItemClick(const QModelIndex &row);
    void ItemDblClick(const QModelIndex &row);
    void MouseEnter();
    void MouseLeave();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    bool dragStartEnabled_ = false;
    bool pressed_ = false;
    bool doubleClicked_ = false;
    QPoint pressPoint_;
};
