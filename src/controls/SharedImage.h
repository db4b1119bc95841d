#pragma once

#include <QImage>
#include <functional>
#include <vector>

class QPainter;
class QRect;
class TImgControlBase;

// Direction of a frame strip, and of the drag that turns a control.
enum TScrollBarKind { sbHorizontal, sbVertical };

// A bitmap that several controls show at once. Every change to it (load, clear,
// assign, the empty mark switched) repaints all of its clients. While the bitmap
// is empty the image keeps the size it was last given, so the crossed-out
// rectangle that stands for a missing picture still has the expected size.
class TSharedImage {
public:
    TSharedImage() = default;
    // Detaches the image from every control that still shows it.
    virtual ~TSharedImage();
    TSharedImage(const TSharedImage &) = delete;
    TSharedImage &operator=(const TSharedImage &) = delete;

    // The owned bitmap. After changing it in place (LoadImageFile into it) call Changed().
    QImage &Bitmap() { return bitmap_; }
    const QImage &Bitmap() const { return bitmap_; }
    void SetBitmap(const QImage &image);
    void ClearBitmap();
    bool Empty() const { return bitmap_.isNull(); }

    // The bitmap's size (frame images: one frame's size).
    virtual int Width() const { return width_; }
    virtual int Height() const { return height_; }
    // The size to report while the bitmap is empty.
    void SetEmptySize(int width, int height);

    bool AlwaysDisplayEmpty() const { return alwaysDisplayEmpty_; }
    // Repaints every client at once.
    void SetAlwaysDisplayEmpty(bool on);

    // After every change, before the clients refresh.
    std::function<void()> OnChange;

    const std::vector<TImgControlBase *> &Clients() const { return clients_; }
    // Both also make the control re-size itself and repaint.
    void RegisterClient(TImgControlBase *control);
    void UnregisterClient(TImgControlBase *control);

    // True when a draw shows the empty mark rather than the bitmap.
    virtual bool DrawsEmpty() const { return alwaysDisplayEmpty_ || bitmap_.isNull(); }
    // Draws the picture (a frame image: frame Frame) into Target, or the empty mark.
    virtual void Draw(QPainter &painter, int frame, const QRect &target) const;

    // The change handling: sizes, OnChange, then every client refreshes.
    void Changed();

protected:
    // Takes the sizes from a non-empty bitmap.
    virtual void updateSizes();
    // Copies the part of the bitmap at Source that lies inside it to Target's corner.
    void drawPart(QPainter &painter, const QRect &source, const QRect &target) const;

    QImage bitmap_;
    int width_ = 0;
    int height_ = 0;

private:
    bool alwaysDisplayEmpty_ = false;
    std::vector<TImgControlBase *> clients_;
};

// The crossed-out rectangle: both diagonals, (x, y)-(x + w, y + h) and (x, y + h)-(x + w, y),
// in the painter's pen.
void DrawEmptyMark(QPainter &painter, const QRect &target);
