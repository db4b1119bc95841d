#pragma once

#include "common/DropData.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <functional>
#include <memory>

class QDrag;
class QDropEvent;
class QWidget;
class TMyOLEDragDropInterface;

enum TDragDropMode { ddmString, ddmUserData };

using TMyUserDropEnterEvent =
    std::function<void(TMyOLEDragDropInterface *sender, const TMyDropDataList &data, TShiftState shift,
                       QPoint point, TMyAllowedDropEffects allowed, bool &accept)>;
using TMyUserDropEvent =
    std::function<void(TMyOLEDragDropInterface *sender, const TMyDropDataList &data, TShiftState shift,
                       QPoint point, TMyAllowedDropEffects allowed, TMyDropEffect &effect)>;
using TMyUserDropExitEvent =
    std::function<void(TMyOLEDragDropInterface *sender, const TMyDropDataList &data)>;
using TMyUserDragEndEvent =
    std::function<void(TMyOLEDragDropInterface *sender, const TMyDragDataList &list, TMyDropEffect effect)>;

// The drop target of a control. Four optional handlers, shaped like the drop-target calls
// (enter, over, leave, drop), replace its default handling completely when set. `effect`
// comes in as the flags the source offers and goes out as the flags the target takes;
// enter returns false to refuse the drag. Points are in the control's coordinates.
class TMyDropObject {
public:
    std::function<bool(const TMyDropDataList &data, TShiftState keys, QPoint point, uint32_t &effect)>
        DragEnter;
    std::function<void(TShiftState keys, QPoint point, uint32_t &effect)> DragOver;
    std::function<void()> DragLeave;
    std::function<void(const TMyDropDataList &data, TShiftState keys, QPoint point, uint32_t &effect)> Drop;

    // The formats of the drag over the control, nullptr outside a drag.
    const TMyDropDataList *Current() const { return list_.get(); }

private:
    friend class TMyOLEDragDropInterface;
    std::unique_ptr<TMyDropDataList> list_;
};

// Makes one control a drop target whose drag events arrive as the events below, and starts
// drags of (format, bytes) lists from it.
class TMyOLEDragDropInterface : public QObject {
    Q_OBJECT
public:
    explicit TMyOLEDragDropInterface(QObject *owner);
    ~TMyOLEDragDropInterface() override;

    bool IsInDragging() const { return inDragging_; }
    bool IsInDropping() const { return inDropping_; }
    QWidget *DragDropControl() const { return control_; }
    // Stops drops on the old control and accepts them on the new one (nullptr: none).
    void SetDragDropControl(QWidget *control);
    TDragDropMode DragDropMode() const { return mode_; }
    void SetDragDropMode(TDragDropMode mode) { mode_ = mode; }
    TMyDropObject &DropTarget() { return target_; }
    TMyAllowedDropEffects AllowedEffects() const { return accepted_; }
    // The effects offered by the drag in progress, and the last completed drag's effect.
    TMyAllowedDropEffects DragAllowedEffects() const { return dragAllowed_; }
    TMyDropEffect LastDragEffect() const { return lastEffect_; }

    TMyUserDropEnterEvent OnUserDropEnter;
    TMyUserDropEvent OnUserDropping;
    TMyUserDropExitEvent OnUserDropExit;
    TMyUserDropEvent OnUserDrop;
    TMyUserDragEndEvent OnUserDragEnd;

    // Runs a drag of the list (the component frees it) until it ends, raises OnUserDragEnd
    // and returns the effect the target took (deNone when cancelled).
    TMyDropEffect StartUserDrag(std::unique_ptr<TMyDragDataList> list);

    // Runs the drag loop; tests put their own here (it gets the ready QDrag).
    static std::function<Qt::DropAction(QDrag &drag, Qt::DropActions allowed)> DragLoop;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Enter(QDropEvent &event);
    void Over(QDropEvent &event);
    void Leave();
    void Drop(QDropEvent &event);
    // Keeps the list of the data object, or makes a new one for another.
    void UseList(const QMimeData *data);

    QPointer<QWidget> control_;
    TDragDropMode mode_ = ddmString;
    TMyDropObject target_;
    TMyAllowedDropEffects offered_ = kAllDropEffects;  // as a source
    TMyAllowedDropEffects accepted_ = kAllDropEffects; // as a target
    TMyAllowedDropEffects dragAllowed_ = 0;
    QPoint lastPoint_;
    TMyDropEffect lastEffect_ = deNone;
    bool inDragging_ = false;
    bool inDropping_ = false;
};
