#include "controls/DropWrap.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Sends one drag event to a widget the way the toolkit delivers them; returns whether the
// widget accepted and the action it chose.
struct TAnswer {
    bool Accepted;
    Qt::DropAction Action;
};

TAnswer Send(QWidget &w, QEvent::Type type, const QMimeData *data, QPoint at = {10, 10},
             Qt::KeyboardModifiers keys = Qt::NoModifier,
             Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction)
{
    if (type == QEvent::DragLeave) {
        QDragLeaveEvent leave;
        QApplication::sendEvent(&w, &leave);
        return {leave.isAccepted(), Qt::IgnoreAction};
    }
    std::unique_ptr<QDropEvent> event;
    if (type == QEvent::DragEnter)
        event = std::make_unique<QDragEnterEvent>(at, offered, data, Qt::LeftButton, keys);
    else if (type == QEvent::DragMove)
        event = std::make_unique<QDragMoveEvent>(at, offered, data, Qt::LeftButton, keys);
    else
        event = std::make_unique<QDropEvent>(QPointF(at), offered, data, Qt::LeftButton, keys);
    event->setAccepted(false);
    QApplication::sendEvent(&w, event.get());
    return {event->isAccepted(), event->dropAction()};
}

class DropWrap : public ::testing::Test {
protected:
    DropWrap()
    {
        TMyDragDataList list;
        list.Add(CF_HDROP, FileListToUriList({"/tmp/a.wav"}));
        data.reset(list.ToMimeData());
        dd.SetDragDropControl(&widget);
    }
    ~DropWrap() override { TMyOLEDragDropInterface::DragLoop = nullptr; }

    QWidget widget;
    TMyOLEDragDropInterface dd{nullptr};
    std::unique_ptr<QMimeData> data;
};

} // namespace

TEST_F(DropWrap, KeysChooseMoveCopyAndLinkAndEventsSeeTheFormats)
{
    QStringList seen;
    dd.OnUserDropEnter = [&](TMyOLEDragDropInterface *, const TMyDropDataList &list, TShiftState, QPoint p,
                             TMyAllowedDropEffects allowed, bool &accept) {
        seen << QString("enter %1,%2 files=%3").arg(p.x()).arg(p.y()).arg(list.Files().join(","));
        EXPECT_EQ(allowed, FlagsToAllowedEffects(7));
        accept = true;
    };
    TMyDropEffect dropped = deScroll;
    dd.OnUserDrop = [&](TMyOLEDragDropInterface *, const TMyDropDataList &, TShiftState, QPoint,
                        TMyAllowedDropEffects, TMyDropEffect &effect) { dropped = effect; };
    EXPECT_TRUE(Send(widget, QEvent::DragEnter, data.get(), {3, 4}).Accepted);
    EXPECT_TRUE(dd.IsInDropping());
    EXPECT_EQ(seen, QStringList{"enter 3,4 files=/tmp/a.wav"});
    EXPECT_EQ(Send(widget, QEvent::DragMove, data.get()).Action, Qt::MoveAction);
    EXPECT_EQ(Send(widget, QEvent::DragMove, data.get(), {}, Qt::ControlModifier).Action, Qt::CopyAction);
    EXPECT_EQ(Send(widget, QEvent::DragMove, data.get(), {}, Qt::ControlModifier | Qt::ShiftModifier).Action,
              Qt::LinkAction);
    const TAnswer drop = Send(widget, QEvent::Drop, data.get(), {}, Qt::ControlModifier);
    EXPECT_TRUE(drop.Accepted);
    EXPECT_EQ(dropped, deCopy);
    EXPECT_FALSE(dd.IsInDropping());
    EXPECT_EQ(dd.DropTarget().Current(), nullptr);
}

TEST_F(DropWrap, RefusedEntersAndNoneEffectsAreNotAccepted)
{
    dd.OnUserDropEnter = [](TMyOLEDragDropInterface *, const TMyDropDataList &, TShiftState, QPoint,
                            TMyAllowedDropEffects, bool &accept) { accept = false; };
    EXPECT_FALSE(Send(widget, QEvent::DragEnter, data.get()).Accepted);
    EXPECT_FALSE(dd.IsInDropping());
    dd.OnUserDropEnter = [](TMyOLEDragDropInterface *, const TMyDropDataList &, TShiftState, QPoint,
                            TMyAllowedDropEffects, bool &accept) { accept = true; };
    dd.OnUserDropping = [](TMyOLEDragDropInterface *, const TMyDropDataList &, TShiftState, QPoint p,
                           TMyAllowedDropEffects, TMyDropEffect &effect) {
        if (p.x() > 50)
            effect = deNone;
    };
    EXPECT_TRUE(Send(widget, QEvent::DragEnter, data.get()).Accepted);
    EXPECT_FALSE(Send(widget, QEvent::DragMove, data.get(), {60, 0}).Accepted);
    EXPECT_TRUE(Send(widget, QEvent::DragMove, data.get(), {5, 0}).Accepted);
    // A source that offers copy only gets copy for a plain drag, never a move.
    EXPECT_EQ(Send(widget, QEvent::DragMove, data.get(), {5, 0}, Qt::NoModifier, Qt::CopyAction).Action,
              Qt::CopyAction);
    int exits = 0;
    dd.OnUserDropExit = [&](TMyOLEDragDropInterface *, const TMyDropDataList &) { ++exits; };
    Send(widget, QEvent::DragLeave, nullptr);
    EXPECT_EQ(exits, 1);
    EXPECT_FALSE(dd.IsInDropping());
}

TEST_F(DropWrap, ErrorsOfHandlersAreSwallowed)
{
    dd.OnUserDropEnter = [](TMyOLEDragDropInterface *, const TMyDropDataList &, TShiftState, QPoint,
                            TMyAllowedDropEffects, bool &accept) {
        accept = true;
        throw EModwright("boom");
    };
    dd.OnUserDrop = [](TMyOLEDragDropInterface *, const TMyDropDataList &list, TShiftState, QPoint,
                       TMyAllowedDropEffects, TMyDropEffect &) { list.GetData(CF_TEXT); };
    EXPECT_TRUE(Send(widget, QEvent::DragEnter, data.get()).Accepted);
    Send(widget, QEvent::DragMove, data.get());
    EXPECT_NO_THROW(Send(widget, QEvent::Drop, data.get()));
    EXPECT_FALSE(dd.IsInDropping());
}

TEST_F(DropWrap, ReplacementHandlersTakeOverCompletely)
{
    bool eventRaised = false;
    dd.OnUserDropEnter = [&](TMyOLEDragDropInterface *, const TMyDropDataList &, TShiftState, QPoint,
                             TMyAllowedDropEffects, bool &accept) { eventRaised = accept = true; };
    QStringList calls;
    TMyDropObject &target = dd.DropTarget();
    target.DragEnter = [&](const TMyDropDataList &, TShiftState keys, QPoint, uint32_t &effect) {
        calls << QString("enter offered=%1 ctrl=%2").arg(effect).arg((keys & ssCtrl) != 0);
        effect = DROPEFFECT_LINK;
        return true;
    };
    target.DragOver = [&](TShiftState, QPoint p, uint32_t &effect) {
        calls << "over";
        effect = p.x() > 50 ? DROPEFFECT_NONE : DROPEFFECT_COPY;
    };
    target.DragLeave = [&] { calls << "leave"; };
    target.Drop = [&](const TMyDropDataList &, TShiftState, QPoint, uint32_t &effect) {
        calls << "drop";
        effect = DROPEFFECT_MOVE;
    };
    EXPECT_TRUE(Send(widget, QEvent::DragEnter, data.get(), {}, Qt::ControlModifier).Accepted);
    EXPECT_FALSE(Send(widget, QEvent::DragMove, data.get(), {70, 0}).Accepted);
    Send(widget, QEvent::DragLeave, nullptr);
    Send(widget, QEvent::DragEnter, data.get());
    Send(widget, QEvent::DragMove, data.get());
    EXPECT_EQ(Send(widget, QEvent::Drop, data.get()).Action, Qt::MoveAction);
    EXPECT_EQ(calls, (QStringList{"enter offered=7 ctrl=1", "over", "leave", "enter offered=7 ctrl=0", "over",
                                  "drop"}));
    EXPECT_FALSE(eventRaised);
}

TEST_F(DropWrap, TheControlCanBeChangedAndCleared)
{
    EXPECT_TRUE(widget.acceptDrops());
    dd.SetDragDropControl(&widget); // the same again: nothing changes
    EXPECT_EQ(dd.DragDropControl(), &widget);
    dd.SetDragDropControl(nullptr);
    EXPECT_FALSE(widget.acceptDrops());
    bool entered = false;
    dd.OnUserDropEnter = [&](TMyOLEDragDropInterface *, const TMyDropDataList &, TShiftState, QPoint,
                             TMyAllowedDropEffects, bool &accept) { entered = accept = true; };
    Send(widget, QEvent::DragEnter, data.get());
    EXPECT_FALSE(entered);
    QWidget other;
    other.setAcceptDrops(true);
    dd.SetDragDropControl(&other);
    dd.SetDragDropControl(&widget);
    EXPECT_TRUE(other.acceptDrops()); // as it was before
    Send(widget, QEvent::DragEnter, data.get());
    EXPECT_TRUE(entered);
}

TEST_F(DropWrap, DragsEndWithTheirEffectAndTheEndEventEvenWhenCancelled)
{
    const int kFormat = RegisterClipboardFormat("DropWrap test data");
    std::vector<TMyDropEffect> ends;
    dd.OnUserDragEnd = [&](TMyOLEDragDropInterface *sender, const TMyDragDataList &list,
                           TMyDropEffect effect) {
        EXPECT_EQ(sender, &dd);
        EXPECT_EQ(list.Count(), 1);
        EXPECT_FALSE(dd.IsInDragging());
        ends.push_back(effect);
    };
    // Escape: the loop ends without a target.
    TMyOLEDragDropInterface::DragLoop = [](QDrag &, Qt::DropActions) { return Qt::IgnoreAction; };
    auto list = std::make_unique<TMyDragDataList>();
    list->Add(kFormat, QByteArray("abcd"));
    EXPECT_EQ(dd.StartUserDrag(std::move(list)), deNone);

    // Dropped on the same control: its target events run inside the drag.
    bool dropSeen = false, draggingDuringDrop = false;
    dd.OnUserDropEnter = [&](TMyOLEDragDropInterface *, const TMyDropDataList &list, TShiftState, QPoint,
                             TMyAllowedDropEffects, bool &accept) { accept = list.HasFormat(kFormat); };
    dd.OnUserDrop = [&](TMyOLEDragDropInterface *, const TMyDropDataList &list, TShiftState, QPoint,
                        TMyAllowedDropEffects, TMyDropEffect &effect) {
        dropSeen = list.GetData(kFormat) == "abcd";
        draggingDuringDrop = dd.IsInDragging();
        effect = deLink;
    };
    TMyOLEDragDropInterface::DragLoop = [this, kFormat](QDrag &drag, Qt::DropActions allowed) {
        EXPECT_EQ(allowed, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction);
        Send(widget, QEvent::DragEnter, drag.mimeData());
        Send(widget, QEvent::DragMove, drag.mimeData());
        return Send(widget, QEvent::Drop, drag.mimeData()).Action;
    };
    list = std::make_unique<TMyDragDataList>();
    list->Add(kFormat, QByteArray("abcd"));
    EXPECT_EQ(dd.StartUserDrag(std::move(list)), deLink);
    EXPECT_TRUE(dropSeen);
    EXPECT_TRUE(draggingDuringDrop);
    EXPECT_EQ(ends, (std::vector<TMyDropEffect>{deNone, deLink}));
    EXPECT_EQ(dd.DragDropMode(), ddmUserData);
    EXPECT_EQ(dd.LastDragEffect(), deLink);
}
