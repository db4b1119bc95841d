#include "controls/MySplitter.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSplitterHandle>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// A window 600 pixels wide: list on the left, browser filling the rest.
class SplitterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(600, 300);
        auto *layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        splitter = new TMySplitter(Qt::Horizontal, &window);
        list = new QWidget;
        browser = new QWidget;
        splitter->addWidget(list);
        splitter->addWidget(browser);
        splitter->setStretchFactor(0, 0);
        splitter->setStretchFactor(1, 1);
        layout->addWidget(splitter);
        window.show();
        QApplication::processEvents();
        splitter->SetFirstSize(265);
        QApplication::processEvents();
    }

    void send(QEvent::Type type, int x, Qt::MouseButtons buttons)
    {
        QSplitterHandle *handle = splitter->handle(1);
        const QPointF local(x - handle->x(), 5);
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, local, handle->mapToGlobal(local), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(handle, &event);
    }

    // Presses on the bar, moves to x (in the splitter's coordinates), releases there.
    void drag(int x)
    {
        const int start = splitter->handle(1)->x() + 1;
        send(QEvent::MouseButtonPress, start, Qt::LeftButton);
        send(QEvent::MouseMove, x, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, x, Qt::NoButton);
    }

    QWidget window;
    TMySplitter *splitter = nullptr;
    QWidget *list = nullptr;
    QWidget *browser = nullptr;
};

TEST_F(SplitterTest, KeepsTheListWidthWhenTheWindowGrows)
{
    EXPECT_EQ(splitter->FirstSize(), 265);
    EXPECT_EQ(splitter->handleWidth(), 4);
    window.resize(900, 300);
    QApplication::processEvents();
    EXPECT_EQ(list->width(), 265);
    EXPECT_EQ(browser->width(), 900 - 265 - 4);
}

TEST_F(SplitterTest, DragFollowsTheMouseAndReportsTheEnd)
{
    int moved = 0;
    QObject::connect(splitter, &TMySplitter::Moved, [&] { ++moved; });
    const int start = splitter->handle(1)->x() + 1;
    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    send(QEvent::MouseMove, start + 50, Qt::LeftButton);
    // Resizing while dragging: the list has already followed.
    EXPECT_EQ(list->width(), 315);
    EXPECT_EQ(moved, 0);
    send(QEvent::MouseButtonRelease, start + 50, Qt::NoButton);
    EXPECT_EQ(moved, 1);
}

TEST_F(SplitterTest, StopsAtMinSizeOnBothSides)
{
    splitter->SetMinSize(30);
    drag(5000);
    EXPECT_EQ(browser->width(), 30);
    EXPECT_EQ(list->width(), 600 - 30 - 4);
    drag(-5000);
    EXPECT_EQ(list->width(), 30);
}

TEST_F(SplitterTest, WithoutResizeWhileDragTheSizeChangesOnRelease)
{
    splitter->SetResizeWhileDrag(false);
    const int start = splitter->handle(1)->x() + 1;
    send(QEvent::MouseButtonPress, start, Qt::LeftButton);
    send(QEvent::MouseMove, start + 60, Qt::LeftButton);
    EXPECT_EQ(list->width(), 265);
    send(QEvent::MouseButtonRelease, start + 60, Qt::NoButton);
    EXPECT_EQ(list->width(), 325);
}

TEST_F(SplitterTest, SetFirstSizeStaysWithinTheLimits)
{
    splitter->SetFirstSize(-40);
    QApplication::processEvents();
    EXPECT_EQ(list->width(), splitter->MinSize());
    splitter->SetFirstSize(100000);
    QApplication::processEvents();
    EXPECT_EQ(browser->width(), splitter->MinSize());
}

} // namespace
