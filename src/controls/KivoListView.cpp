#include "controls/KivoListView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <cstdlib>

TKivoListView::TKivoListView(QWidget *parent) : QTreeView(parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Our own drag start replaces the view's.
    setDragEnabled(false);
    // The selection is shown the same with or without the focus.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);
}

void TKivoListView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        pressPoint_ = event->position().toPoint();
    }
    QTreeView::mousePressEvent(event);
}

void TKivoListView::mouseMoveEvent(QMouseEvent *event)
{
    if (pressed_ && (event->buttons() & Qt::LeftButton) && dragStartEnabled_) {
        const QPoint p = event->position().toPoint();
        if (std::abs(p.x() - pressPoint_.x()) > 2 || std::abs(p.y() - pressPoint_.y()) > 2) {
            const QModelIndex row = indexAt(pressPoint_);
            if (row.isValid()) {
                pressed_ = false;
                emit DragStart(row);
                return;
            }
        }
    }
    QTreeView::mouseMoveEvent(event);
}

void TKivoListView::mouseReleaseEvent(QMouseEvent *event)
{
    // The release after a double click is no click of its own.
    const bool wasPressed = pressed_ && !doubleClicked_;
    if (event->button() == Qt::LeftButton) {
        pressed_ = false;
        doubleClicked_ = false;
    }
    QTreeView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && wasPressed) {
        const QModelIndex row = indexAt(event->position().toPoint());
        if (row.isValid())
            emit ItemClick(row);
    }
}

void TKivoListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) {
        doubleClicked_ = true;
        const QModelIndex row = indexAt(event->position().toPoint());
        if (row.isValid())
            emit ItemDblClick(row);
    }
}

void TKivoListView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    const QModelIndex current = currentIndex();
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (current.isValid())
            emit ItemDblClick(current);
        return;
    case Qt::Key_Space:
        if (current.isValid())
            emit ItemClick(current);
        return;
    default:
        QTreeView::keyPressEvent(event);
    }
}

void TKivoListView::enterEvent(QEnterEvent *event)
{
    QTreeView::enterEvent(event);
    emit MouseEnter();
}

void TKivoListView::leaveEvent(QEvent *event)
{
    QTreeView::leaveEvent(event);
    emit MouseLeave();
}
