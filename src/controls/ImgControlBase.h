#pragma once

#include <QWidget>
#include <functional>

class TSharedImage;

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
    TSharedImage *image_ = nullptr;
    QString hint_;
    bool captured_ = false;
    Qt::MouseButton captureButton_ = Qt::NoButton;
};
