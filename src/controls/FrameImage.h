#pragma once

#include "controls/SharedImage.h"

// A shared image that is a strip of equally sized frames, side by side or stacked,
// with SeparatorSize pixels between two frames. Count, Orientation, Button and
// TwoState survive bitmap reloads, so a reloaded strip is cut again the same way.
//
// Cutting: horizontal frame width = (bitmap width + separator) div Count - separator,
// frame height = bitmap height (vertical strips the other way round); with Count 0
// the frame size is only kept within the bitmap. Nothing is cut while the bitmap is
// empty: the frame size stays as it was (or as set), so an empty strip still has its
// size. A strip too short for its frame count has frame size 0 and draws the empty mark.
class TFrameImage : public TSharedImage {
public:
    int Count() const { return count_; }
    // Never negative.
    void SetCount(int count);

    // One frame's size.
    int Width() const override { return frameWidth_; }
    int Height() const override { return frameHeight_; }
    // On a horizontal strip with a bitmap, setting the frame width recomputes Count as
    // (bitmap width + separator) div (frame width + separator); likewise the height of a
    // vertical strip. Without a bitmap the size is only stored.
    void SetWidth(int width);
    void SetHeight(int height);

    TScrollBarKind Orientation() const { return orientation_; }
    void SetOrientation(TScrollBarKind orientation);
    int SeparatorSize() const { return separator_; }
    void SetSeparatorSize(int pixels);

    // A push button: frame 0 released, the last frame pressed.
    bool Button = false;
    // The button toggles instead of springing back.
    bool TwoState = false;

    // Where frame Frame lies in the bitmap.
    QRect FrameRect(int frame) const;

    bool DrawsEmpty() const override;
    void Draw(QPainter &painter, int frame, const QRect &target) const override;

protected:
    void updateSizes() override;

private:
    int count_ = 0;
    int frameWidth_ = 0;
    int frameHeight_ = 0;
    TScrollBarKind orientation_ = sbHorizontal;
    int separator_ = 0;
};
