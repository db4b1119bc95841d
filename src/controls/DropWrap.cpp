#include "controls/DropWrap.h"

#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

std::function<Qt::DropAction(QDrag &, Qt::DropActions)> TMyOLEDragDropInterface::DragLoop;

namespace {

// A handler's error must not break the drag protocol: it is dropped here.
template <typename F> void Guarded(F &&f)
{
    try {
        f();
    } catch (...) {
    }
}

constexpr const char *kSavedAcceptDrops = "modwrightSavedAcceptDrops";

} // namespace

TMyOLEDragDropInterface::TMyOLEDragDropInterface(QObject *owner) : QObject(owner) {}

TMyOLEDragDropInterface::~TMyOLEDragDropInterface()
{
    // The control may be on its way out itself (it owns us): only the filter goes.
    if (control_)
        control_->removeEventFilter(this);
}

void TMyOLEDragDropInterface::SetDragDropControl(QWidget *control)
{
    if (control == control_)
        return;
    if (control_) {
        control_->removeEventFilter(this);
        control_->setAcceptDrops(control_->property(kSavedAcceptDrops).toBool());
        control_->setProperty(kSavedAcceptDrops, QVariant());
    }
    control_ = control;
    if (control) {
        control->setProperty(kSavedAcceptDrops, control->acceptDrops());
        control->installEventFilter(this);
        control->setAcceptDrops(true);
    }
}

// ---------------------------------------------------------------------- drop target

bool TMyOLEDragDropInterface::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != control_)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
        Enter(*static_cast<QDropEvent *>(event));
        return true;
    case QEvent::DragMove:
        Over(*static_cast<QDropEvent *>(event));
        return true;
    case QEvent::DragLeave:
        Leave();
        event->accept();
        return true;
    case QEvent::Drop:
        Drop(*static_cast<QDropEvent *>(event));
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}

void TMyOLEDragDropInterface::UseList(const QMimeData *data)
{
    if (target_.list_ && target_.list_->DataObject() == data)
        return;
    target_.list_ = std::make_unique<TMyDropDataList>(data);
}

namespace {

void Answer(QDropEvent &event, uint32_t effect)
{
    if (effect == DROPEFFECT_NONE) {
        event.setDropAction(Qt::IgnoreAction);
        event.ignore();
    } else {
        event.setDropAction(FlagsToQtAction(effect));
        event.accept();
    }
}

} // namespace

void TMyOLEDragDropInterface::Enter(QDropEvent &event)
{
    const QMimeData *data = event.mimeData();
    if (!data) {
        event.ignore();
        return;
    }
    UseList(data);
    lastPoint_ = event.position().toPoint();
    const uint32_t offered = QtActionsToFlags(event.possibleActions());
    dragAllowed_ = FlagsToAllowedEffects(offered);
    const TShiftState keys = KeyStateToShift(event.modifiers(), event.buttons());
    bool accepted = false;
    uint32_t effect = DROPEFFECT_NONE;
    if (target_.DragEnter) {
        effect = offered;
        Guarded([&] { accepted = target_.DragEnter(*target_.list_, keys, lastPoint_, effect); });
    } else {
        Guarded([&] {
            if (OnUserDropEnter)
                OnUserDropEnter(this, *target_.list_, keys, lastPoint_, dragAllowed_, accepted);
        });
        effect = OfferedEffect(DefaultDropEffect(keys, accepted_), offered);
    }
    if (target_.list_)
        target_.list_->UnlockAll();
    if (!accepted) {
        target_.list_.reset();
        inDropping_ = false;
        event.ignore();
        return;
    }
    inDropping_ = true;
    // A move event follows at once and decides the effect; the enter itself must be
    // accepted for Qt to send it.
    event.setDropAction(effect == DROPEFFECT_NONE ? Qt::IgnoreAction : FlagsToQtAction(effect));
    event.accept();
}

void TMyOLEDragDropInterface::Over(QDropEvent &event)
{
    lastPoint_ = event.position().toPoint();
    const uint32_t offered = QtActionsToFlags(event.possibleActions());
    const TShiftState keys = KeyStateToShift(event.modifiers(), event.buttons());
    uint32_t effect = DROPEFFECT_NONE;
    if (target_.DragOver) {
        effect = offered;
        Guarded([&] { target_.DragOver(keys, lastPoint_, effect); });
    } else {
        effect = OfferedEffect(DefaultDropEffect(keys, accepted_), offered);
        if (target_.list_) {
            TMyDropEffect single = FlagsToDropEffect(effect);
            Guarded([&] {
                if (OnUserDropping)
                    OnUserDropping(this, *target_.list_, keys, lastPoint_, dragAllowed_, single);
            });
            effect = OfferedEffect(DropEffectToFlags(single), offered);
        }
    }
    if (target_.list_)
        target_.list_->UnlockAll();
    Answer(event, effect);
}

void TMyOLEDragDropInterface::Leave()
{
    if (target_.DragLeave) {
        Guarded([&] { target_.DragLeave(); });
    } else if (target_.list_) {
        Guarded([&] {
            if (OnUserDropExit)
                OnUserDropExit(this, *target_.list_);
        });
    }
    if (target_.list_)
        target_.list_->UnlockAll();
    inDropping_ = false;
}

void TMyOLEDragDropInterface::Drop(QDropEvent &event)
{
    const QMimeData *data = event.mimeData();
    if (!data) {
        event.ignore();
        inDropping_ = false;
        return;
    }
    UseList(data);
    lastPoint_ = event.position().toPoint();
    const uint32_t offered = QtActionsToFlags(event.possibleActions());
    const TShiftState keys = KeyStateToShift(event.modifiers(), event.buttons());
    uint32_t effect = DROPEFFECT_NONE;
    if (target_.Drop) {
        effect = offered;
        Guarded([&] { target_.Drop(*target_.list_, keys, lastPoint_, effect); });
    } else {
        effect = OfferedEffect(DefaultDropEffect(keys, accepted_), offered);
        TMyDropEffect single = FlagsToDropEffect(effect);
        Guarded([&] {
            if (OnUserDrop)
                OnUserDrop(this, *target_.list_, keys, lastPoint_, dragAllowed_, single);
        });
        effect = OfferedEffect(DropEffectToFlags(single), offered);
    }
    target_.list_.reset();
    inDropping_ = false;
    Answer(event, effect);
}

// ---------------------------------------------------------------------- drag source

TMyDropEffect TMyOLEDragDropInterface::StartUserDrag(std::unique_ptr<TMyDragDataList> list)
{
    Assert(list != nullptr, "DropWrap");
    mode_ = ddmUserData;
    TMyDropEffect effect = deNone;
    inDragging_ = true;
    try {
        QObject *source = control_ ? static_cast<QObject *>(control_.data()) : parent();
        auto *drag = new QDrag(source ? source : this);
        drag->setMimeData(list->ToMimeData());
        const Qt::DropActions allowed = FlagsToQtActions(AllowedEffectsToFlags(offered_));
        const Qt::DropAction result =
            DragLoop ? DragLoop(*drag, allowed) : drag->exec(allowed, Qt::CopyAction);
        drag->deleteLater();
        effect = FlagsToDropEffect(QtActionsToFlags(result));
    } catch (...) {
        inDragging_ = false;
        throw;
    }
    inDragging_ = false;
    lastEffect_ = effect;
    if (OnUserDragEnd)
        OnUserDragEnd(this, *list, effect);
    return effect;
}
