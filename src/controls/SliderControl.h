#pragma once

#include "controls/ImgControlBase.h"
#include "controls/SharedImage.h"

#include <QRect>
#include <cstdint>

// A track image with a thumb image moved over it. The thumb travels ThumbRange pixels
// from (ThumbOffsetX, ThumbOffsetY); a vertical slider has its minimum at the bottom.
// Clicking the track away from the thumb jumps the thumb there and starts dragging it.
// The control's size follows the track image's.
class TSliderControl : public TImgControlBase {
    Q_OBJECT

public:
    explicit TSliderControl(QWidget *parent = nullptr);
    ~TSliderControl() override;

    // The thumb; the control is a client of both images.
    TSharedImage *ThumbImage() const { return thumb_; }
    void SetThumbImage(TSharedImage *image);
    int ThumbOffsetX() const { return offsetX_; }
    int ThumbOffsetY() const { return offsetY_; }
    void SetThumbOffsetX(int x);
    void SetThumbOffsetY(int y);
    int ThumbRange() const { return range_; }
    // Values below 1 are stored as 1.
    void SetThumbRange(int pixels);

    std::function<void(TSliderControl *sender, int32_t &position)> OnScroll;

    // Pixels along the travel for the current position; -1 without a thumb image.
    int ThumbOffset() const;
    // Where the thumb is drawn (empty without a thumb image).
    QRect ThumbRect() const;
    // The position a point on the control stands for (not clamped).
    int64_t PointToPosition(const QPoint &point) const;
    // The thumb offset the last paint drew; -1 before the first.
    int LastDrawnOffset() const { return lastDrawnOffset_; }
    int PaintCount() const { return paintCount_; }
    bool Dragging() const { return dragging_; }

    // User input: offers the value to OnScroll, then sets it clamped.
    void ScrollTo(int64_t position);

    void ImageChanged(TSharedImage *image) override;
    void ImageDestroyed(TSharedImage *image) override;

protected:
    // Repaints when the thumb moves.
    void PositionChanged() override;
    void adjustToImage() override;
    void paintEvent(QPaintEvent *event) override;
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &point) override;
    void MouseMove(Qt::KeyboardModifiers modifiers, const QPoint &point) override;
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &point) override;

private:
    void thumbMoved();

    TSharedImage *thumb_ = nullptr;
    int offsetX_ = 0;
    int offsetY_ = 0;
    int range_ = 10;
    // Drag state.
    int grabX_ = 0;
    int grabY_ = 0;
    int32_t startPosition_ = 0;
    bool dragging_ = false;
    int lastDrawnOffset_ = -1;
    int paintCount_ = 0;
};
