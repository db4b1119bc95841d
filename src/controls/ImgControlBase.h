#pragma once

#include "controls/SharedImage.h"

#include <QWidget>
#include <cstdint>
#include <functional>

// The common base of the frame control and the slider: a child widget that shows a
// shared image, registered among the image's clients while it shows it. It holds the
// mouse from a button press to its release; the press and release are offered to the
// owner through OnMouseDown and OnMouseUp after the control has handled them.
class TImgControlBase : public QWidget {
    Q_OBJECT

public:
    using TMouseEvent = std::function<void(TImgControlBase *sender, Qt::MouseButton button,
                                           Qt::KeyboardModifiers modifiers, const QPoint &point)>;

    explicit TImgControlBase(QWidget *parent = nullptr);
    // Leaves the clients of its images.
    ~TImgControlBase() override;

    TSharedImage *Image() const { return image_; }
    // Unregisters from the previous image and registers with the new one.
    void SetImage(TSharedImage *image);

    // The position within Min..Max that the control shows.
    int32_t Position() const { return position_; }
    // Clamped to Min..Max; on a real change PositionChanged, then OnChange.
    void SetPosition(int32_t position);
    int32_t Min() const { return min_; }
    int32_t Max() const { return max_; }
    // Max is kept at or above Min; the position follows into the range.
    void SetMin(int32_t value);
    void SetMax(int32_t value);
    int32_t SmallChange = 1;
    int32_t LargeChange = 10;
    TScrollBarKind Kind = sbVertical;

    // Mouse input changes the position.
    bool AllowUserControl = true;
    // After every change of the position.
    std::function<void()> OnChange;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

    // "short|long": the part after "|" is what the status bar shows.
    QString Hint() const { return hint_; }
    void SetHint(const QString &hint) { hint_ = hint; }

    // A button went down on the control and has not been released yet.
    bool HasCapture() const { return captured_; }

    // Called by the images: refresh after a change, and forget an image being destroyed.
    virtual void ImageChanged(TSharedImage *image);
    virtual void ImageDestroyed(TSharedImage *image);

protected:
    // After the position changed: repaint when the drawing changes.
    virtual void PositionChanged() {}
    // Size to the image as the control's kind wants; nothing by default.
    virtual void adjustToImage() {}
    // The control's own handling of the mouse, in client coordinates.
    virtual void MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, const QPoint &) {}
    virtual void MouseMove(Qt::KeyboardModifiers, const QPoint &) {}
    virtual void MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, const QPoint &) {}
    // Fills the control with its background colour (before the empty mark).
    void eraseBackground(class QPainter &painter);

    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int32_t position_ = 0;
    int32_t min_ = 0;
    int32_t max_ = 100;
    TSharedImage *image_ = nullptr;
    QString hint_;
    bool captured_ = false;
    Qt::MouseButton captureButton_ = Qt::NoButton;
};
