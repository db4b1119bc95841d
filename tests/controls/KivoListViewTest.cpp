#include "controls/KivoListView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStandardItemModel>
#include <gtest/gtest.h>

namespace {

class KivoListViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 5; ++i)
            model.appendRow({new QStandardItem(QString("row %1").arg(i)), new QStandardItem("x")});
        view.setModel(&model);
        view.resize(300, 200);
        view.show();
        QApplication::processEvents();
        QObject::connect(&view, &TKivoListView::DragStart,
                         [this](const QModelIndex &i) { drags << i.row(); });
        QObject::connect(&view, &TKivoListView::ItemClick,
                         [this](const QModelIndex &i) { clicks << i.row(); });
        QObject::connect(&view, &TKivoListView::ItemDblClick,
                         [this](const QModelIndex &i) { doubleClicks << i.row(); });
    }

    QPoint rowPoint(int row) const { return view.visualRect(model.index(row, 0)).center(); }

    void mouse(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, p, view.viewport()->mapToGlobal(p), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &event);
    }

    void key(int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyPress, k, modifiers);
        QApplication::sendEvent(&view, &event);
    }

    QStandardItemModel model;
    TKivoListView view;
    QList<int> drags, clicks, doubleClicks;
};

TEST_F(KivoListViewTest, DragStartsAfterMoreThanTwoPixels)
{
    view.SetDragStartEnabled(true);
    const QPoint p = rowPoint(1);
    mouse(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseMove, p + QPoint(2, 2), Qt::NoButton, Qt::LeftButton);
    EXPECT_TRUE(drags.isEmpty());
    // Three pixels down: now it starts, for the row under the press point.
    mouse(QEvent::MouseMove, p + QPoint(0, 30), Qt::NoButton, Qt::LeftButton);
    ASSERT_EQ(drags.size(), 1);
    EXPECT_EQ(drags[0], 1);
}

TEST_F(KivoListViewTest, NoDragWithoutListenerOrBelowTheRows)
{
    const QPoint p = rowPoint(0);
    mouse(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseMove, p + QPoint(10, 0), Qt::NoButton, Qt::LeftButton);
    EXPECT_TRUE(drags.isEmpty());
    mouse(QEvent::MouseButtonRelease, p + QPoint(10, 0), Qt::LeftButton, Qt::NoButton);

    view.SetDragStartEnabled(true);
    const QPoint empty(20, view.viewport()->height() - 3);
    mouse(QEvent::MouseButtonPress, empty, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseMove, empty + QPoint(10, 0), Qt::NoButton, Qt::LeftButton);
    EXPECT_TRUE(drags.isEmpty());
}

TEST_F(KivoListViewTest, ClicksAndDoubleClicks)
{
    const QPoint p = rowPoint(2);
    mouse(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    mouse(QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(clicks, QList<int>{2});
    EXPECT_EQ(doubleClicks, QList<int>{2});
}

TEST_F(KivoListViewTest, KeysActAsClicksAndSelectAll)
{
    view.setCurrentIndex(model.index(3, 0));
    key(Qt::Key_Return);
    key(Qt::Key_Space);
    EXPECT_EQ(doubleClicks, QList<int>{3});
    EXPECT_EQ(clicks, QList<int>{3});
    key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(view.selectionModel()->selectedRows().size(), 5);
}

TEST_F(KivoListViewTest, SelectionLooksTheSameWithoutFocus)
{
    const QPalette p = view.palette();
    EXPECT_EQ(p.color(QPalette::Inactive, QPalette::Highlight),
              p.color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(view.selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(view.editTriggers(), QAbstractItemView::NoEditTriggers);
}

} // namespace
