#pragma once

#include "preview/ImageItemList.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

class QAction;
class QLabel;
class QScrollArea;
class QStatusBar;
class QToolBar;
class QToolButton;
class TCustomIniFile;

// The image viewer: a small tool window that shows one image at its natural size
// (centred; drag it to see hidden parts), fitted (the window takes the image's
// size, AutoSize) or stretched into the window keeping its proportions
// (Stretch), and steps to the previous or next image of the list it came from.
// It lives for the whole run, hidden until asked for.
class TImgViewForm : public QWidget {
    Q_OBJECT
public:
    explicit TImgViewForm(QWidget *parent = nullptr);
    ~TImgViewForm() override;

    // Shows an image: `picture` when it is not null, else the file at `path`,
    // else nothing. Does nothing while the window is hidden. A file that cannot
    // be loaded leaves the view empty with the reason in the status bar.
    void ShowImage(const TImageItem &item, const QString &path, const QImage &picture = QImage());

    bool AutoSizeMode() const { return autoSize_; }
    bool StretchMode() const { return stretch_; }
    bool StayOnTop() const;
    const TImageItem &CurrentItem() const { return current_; }
    const QImage &Picture() const { return picture_; }
    QString StatusText() const;
    // Where the image is drawn, in the coordinates of this window's inner area.
    QRect ImageRect() const;

    // Placement (all of it) and the two modes, in `section` of the store.
    void ReadSettings(TCustomIniFile &store, const QString &section);
    void WriteSettings(TCustomIniFile &store, const QString &section);

    // Commands.
    void BStayOnTopClick();
    void BAutoSizeClick();
    void BStretchClick();
    // The next (forward) or previous image of the current item's list.
    void BpreviousNextClick(bool forward);

    // Child controls, named as designed.
    QToolBar *ToolBar1 = nullptr;
    QAction *BStayOnTop = nullptr, *Bprevious = nullptr, *BNext = nullptr, *BAutoSize = nullptr,
            *BStretch = nullptr;
    QScrollArea *ScrollBoxImg = nullptr;
    QWidget *Img = nullptr;
    QStatusBar *StatusBar = nullptr;
    QLabel *StatusPanel = nullptr;

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormResize();
    void SetAutoSize(bool on);
    void SetStretch(bool on);
    void CentredLayout();
    void StretchedLayout();
    void FitWindow();
    void UpdateDragHint();
    QSize ClientSize() const { return size(); }
    int ToolbarHeight() const;
    int StatusHeight() const;
    QSize ImageSize() const { return picture_.size(); }
    void ImgMouseDown(const QPoint &globalPos);
    void ImgMouseMove(const QPoint &globalPos);
    void ImgMouseUp();

    QWidget *canvas_ = nullptr; // the scroll box's contents, holding Img at natural size
    QImage picture_;
    TImageItem current_;
    bool autoSize_ = false;
    bool stretch_ = false;
    int stepMarker_ = 0; // 1 while showing the next item, 2 the previous one
    bool dragging_ = false;
    QPoint dragStart_;
    QPoint scrollStart_;
    int vScrollWidth_ = 0;
    int hScrollHeight_ = 0;
};
