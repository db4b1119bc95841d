#pragma once

// Real mouse, key and context-menu events for the main window's lists and menus,
// sent the way the window system delivers them to the widgets.

#include "workbench/ComponentList.h"
#include "workbench/ComponentListModel.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

namespace list_events {

inline QPoint RowCentre(TComponentList *list, const TAssignmentData *row)
{
    list->scrollTo(list->Model().index(list->Model().rowOf(row), 0));
    return list->visualRect(list->Model().index(list->Model().rowOf(row), 0)).center();
}

inline void Mouse(QWidget *w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

inline void ClickRow(TComponentList *list, const TAssignmentData *row)
{
    const QPoint at = RowCentre(list, row);
    Mouse(list->viewport(), QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    Mouse(list->viewport(), QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

// Press, release, double click, release: what a double click is made of.
inline void DoubleClickRow(TComponentList *list, const TAssignmentData *row)
{
    ClickRow(list, row);
    const QPoint at = RowCentre(list, row);
    Mouse(list->viewport(), QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    Mouse(list->viewport(), QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

// The right button goes down over the row (nullptr: below the last row).
inline void RightClickRow(TComponentList *list, const TAssignmentData *row)
{
    const QPoint at = row ? RowCentre(list, row) : QPoint(5, list->viewport()->height() - 3);
    Mouse(list->viewport(), QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &menu);
    Mouse(list->viewport(), QEvent::MouseButtonRelease, at, Qt::RightButton, Qt::NoButton);
}

inline void Key(QWidget *w, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_Space ? " " : QString());
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

// Clicks a visible, enabled item of an open menu, as the user does.
inline bool ClickMenuItem(QMenu *menu, QAction *item)
{
    if (!menu->isVisible() || !item->isVisible() || !item->isEnabled())
        return false;
    const QPoint at = menu->actionGeometry(item).center();
    Mouse(menu, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    Mouse(menu, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    Mouse(menu, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    return true;
}

} // namespace list_events
