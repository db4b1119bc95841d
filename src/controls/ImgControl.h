#pragma once

#include "controls/FrameImage.h"
#include "controls/ImgControlBase.h"

#include <cstdint>

class TMovingHint;

// Shows one frame of a frame strip, chosen by Position: frame
// trunc((Position - Min) / (Max - Min + 1) x Count). Dragging up (sbVertical) or to the
// right (sbHorizontal) turns it like a knob, SmallChange per pixel, one step per six
// pixels with Shift held, with a detent at MiddlePos that holds until the drag since the
// last step exceeds MiddleSnap pixels. Two-frame strips marked Button act as push buttons
// (pressed while the pointer is on them) or, with TwoState, as toggles.
class TImgControl : public TImgControlBase {
    Q_OBJECT

public:
    explicit TImgControl(QWidget *parent = nullptr);
    ~TImgControl() override;

    int32_t MiddlePos = 0;
    int32_t MiddleSnap = 5;

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);

    TFrameImage *FrameImage() const;
    void SetFrameImage(TFrameImage *image) { SetImage(image); }

    // May change a position that user input is about to set.
    std::function<void(TImgControl *sender, int32_t &position)> OnScroll;
    // A push button was released over the control.
    std::function<void(TImgControl *sender)> OnButtonClick;
    // The moving hint beside the control while it is pressed.
    bool ShowScrollHint = false;
    std::function<void(TImgControl *sender, QString &hint)> OnGetScrollHint;

    // The frame shown for the current position; -1 without image.
    int FrameIndex() const;
    // The frame the last paint drew; -1 before the first.
    int LastDrawnFrame() const { return lastDrawnFrame_; }
    // How often the control painted itself (a repaint happens only when the frame changes).
    int PaintCount() const { return paintCount_; }
    bool Dragging() const { return dragging_; }
    // The moving hint; none until it was first shown.
    TMovingHint *MovingHint() const { return hint_; }

    // User input: offers the value to OnScroll, then sets it clamped.
    void ScrollTo(int32_t position);

protected:
    // Repaints when the frame changes; moves the hint along.
    void PositionChanged() override;
    void adjustToImage() override;
    void paintEvent(QPaintEvent *event) override;
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &point) override;
    void MouseMove(Qt::KeyboardModifiers modifiers, const QPoint &point) override;
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &point) override;

private:
    bool isButton() const;
    void pressTracking(const QPoint &point);
    bool overFrame(const QPoint &point) const;
    void showMovingHint();

    bool autoSize_ = true;
    // Drag state.
    int32_t startPosition_ = 0;
    int lastX_ = 0;
    int lastY_ = 0;
    bool fine_ = false;
    bool dragging_ = false;
    int lastDrawnFrame_ = -1;
    int paintCount_ = 0;
    TMovingHint *hint_ = nullptr;
};
