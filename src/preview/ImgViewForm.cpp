#include "preview/ImgViewForm.h"

#include "controls/PlacementStore.h"
#include "formats/Probes.h"
#include "platform/CustomIniFile.h"
#include "preview/ImgViewLayout.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString DragHint = QStringLiteral("Drag Image to see hidden parts.");

// Draws the picture into its whole rectangle: at natural size it is the
// picture's own size, in Stretch mode the scaled rectangle.
class TImageWidget : public QWidget {
public:
    TImageWidget(const QImage &picture, QWidget *parent) : QWidget(parent), picture_(picture)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (picture_.isNull())
            return;
        QPainter painter(this);
        if (size() == picture_.size()) {
            painter.drawImage(0, 0, picture_);
        } else {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(rect(), picture_);
        }
    }

private:
    const QImage &picture_;
};

QAction *MakeButton(QToolBar *bar, const char *name, const QString &caption, const QString &hint,
                    bool checkable)
{
    QAction *action = bar->addAction(caption);
    action->setObjectName(name);
    action->setCheckable(checkable);
    if (!hint.isEmpty()) {
        action->setToolTip(hint);
        action->setStatusTip(hint);
    }
    if (QWidget *button = bar->widgetForAction(action))
        button->setObjectName(name);
    return action;
}

} // namespace

TImgViewForm::TImgViewForm(QWidget *parent) : QWidget(parent, Qt::Tool)
{
    setObjectName("ImgViewForm");
    setWindowTitle("Image Viewer");
    resize(327, 199);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ToolBar1->setMovable(false);
    BStayOnTop = MakeButton(ToolBar1, "BStayOnTop", "Stay on top",
                            "Stick the Imageviewer on top of your screen", true);
    Bprevious = MakeButton(ToolBar1, "Bprevious", "Previous", "View previous image", false);
    BNext = MakeButton(ToolBar1, "BNext", "Next", "View next image", false);
    BAutoSize = MakeButton(ToolBar1, "BAutoSize", "AutoSize", QString(), true);
    BStretch = MakeButton(ToolBar1, "BStretch", "Stretch", QString(), true);
    connect(BStayOnTop, &QAction::triggered, this, [this] { BStayOnTopClick(); });
    connect(Bprevious, &QAction::triggered, this, [this] { BpreviousNextClick(false); });
    connect(BNext, &QAction::triggered, this, [this] { BpreviousNextClick(true); });
    connect(BAutoSize, &QAction::triggered, this, [this] { BAutoSizeClick(); });
    connect(BStretch, &QAction::triggered, this, [this] { BStretchClick(); });
    layout->addWidget(ToolBar1);
    // Wide enough for every button: this platform's captions are wider than the
    // design's, and a button in the overflow menu is one the user never finds.
    resize(std::max(width(), ToolBar1->sizeHint().width()), height());

    ScrollBoxImg = new QScrollArea(this);
    ScrollBoxImg->setObjectName("ScrollBoxImg");
    ScrollBoxImg->setFrameShape(QFrame::NoFrame);
    ScrollBoxImg->setWidgetResizable(false);
    ScrollBoxImg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Hidden in Stretch mode, but it keeps its place between toolbar and status bar.
    QSizePolicy policy = ScrollBoxImg->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    ScrollBoxImg->setSizePolicy(policy);
    canvas_ = new QWidget;
    canvas_->setObjectName("ImgCanvas");
    Img = new TImageWidget(picture_, canvas_);
    Img->setObjectName("Img");
    Img->setCursor(Qt::OpenHandCursor);
    Img->resize(0, 0);
    ScrollBoxImg->setWidget(canvas_);
    layout->addWidget(ScrollBoxImg, 1);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName("StatusBar");
    StatusBar->setSizeGripEnabled(false);
    StatusPanel = new QLabel(StatusBar);
    StatusPanel->setObjectName("StatusPanel");
    // One panel of 600 pixels that never holds the window wider than the user wants it.
    StatusPanel->setMinimumWidth(0);
    StatusPanel->setMaximumWidth(600);
    StatusPanel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    StatusBar->addWidget(StatusPanel, 1);
    layout->addWidget(StatusBar);

    Img->installEventFilter(this);
    ScrollBoxImg->viewport()->installEventFilter(this);

    vScrollWidth_ = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    hScrollHeight_ = vScrollWidth_;
}

TImgViewForm::~TImgViewForm() = default;

int TImgViewForm::ToolbarHeight() const
{
    return ToolBar1->height();
}

int TImgViewForm::StatusHeight() const
{
    return StatusBar->height();
}

QString TImgViewForm::StatusText() const
{
    return StatusPanel->text();
}

bool TImgViewForm::StayOnTop() const
{
    return windowFlags() & Qt::WindowStaysOnTopHint;
}

QRect TImgViewForm::ImageRect() const
{
    if (stretch_)
        return Img->geometry();
    return QRect(Img->mapTo(this, QPoint(0, 0)), Img->size());
}

void TImgViewForm::ShowImage(const TImageItem &item, const QString &path, const QImage &picture)
{
    if (!isVisible())
        return;
    QString status;
    try {
        picture_ = QImage();
        if (!picture.isNull()) {
            picture_ = picture;
        } else if (!path.isEmpty()) {
            QImage loaded;
            // An extension the loader does not know leaves no reason: the status stays empty.
            if (LoadImageFile(path, loaded))
                picture_ = loaded;
            else
                status = LastLoadError();
        }
        if (!picture_.isNull()) {
            status = QString("%1 : %2x%3")
                         .arg(QFileInfo(path).fileName())
                         .arg(picture_.width())
                         .arg(picture_.height());
            if (autoSize_)
                FitWindow();
        }
        // Laid out even when empty, so that no old picture is left in view.
        if (stretch_)
            StretchedLayout();
        else
            CentredLayout();
    } catch (const std::exception &error) {
        picture_ = QImage();
        status = QString::fromUtf8(error.what());
    }
    StatusPanel->setText(status);
    Img->update();
    current_ = item;
    UpdateDragHint();
}

void TImgViewForm::CentredLayout()
{
    if (stretch_)
        return;
    const QSize image = ImageSize();
    const QPoint at = CentredImagePosition(ClientSize(), ToolbarHeight(), StatusHeight(), image,
                                           vScrollWidth_, hScrollHeight_);
    Img->setGeometry(QRect(at, image));
    canvas_->resize(at.x() + image.width(), at.y() + image.height());
}

void TImgViewForm::StretchedLayout()
{
    if (!stretch_)
        return;
    Img->setGeometry(StretchedImageRect(ClientSize(), ToolbarHeight(), StatusHeight(), ImageSize()));
    Img->update();
}

void TImgViewForm::FitWindow()
{
    const QRect frame = frameGeometry();
    const int areaHeight = StatusBar->geometry().top() - ToolBar1->geometry().bottom() - 1;
    QScreen *where = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect work = where ? where->availableGeometry() : QRect(0, 0, 1024, 768);
    TFitInput in;
    in.frame = frame;
    in.extra = QSize(frame.width() - width(), frame.height() - areaHeight);
    in.image = ImageSize();
    in.screenWidth = where ? where->geometry().width() : work.width();
    in.workAreaHeight = work.top() + work.height();
    // The toolbar's own width: this platform's captions are wider than the design's.
    const QMargins margins = layout() ? layout()->contentsMargins() : QMargins();
    in.minimumWidth = ToolBar1->sizeHint().width() + margins.left() + margins.right() + in.extra.width();
    in.vScrollWidth = vScrollWidth_;
    in.hScrollHeight = hScrollHeight_;
    const QRect target = FitWindowToImage(in);
    if (target == frame)
        return;
    const QPoint inner = geometry().topLeft() - frame.topLeft();
    if (target.topLeft() != frame.topLeft() && stepMarker_ != 0) {
        // Keep the stepping button under the pointer, so that repeated clicks hit it.
        QWidget *button = ToolBar1->widgetForAction(stepMarker_ == 1 ? BNext : Bprevious);
        if (button) {
            const QPoint centre = button->mapTo(this, button->rect().center());
            QCursor::setPos(target.topLeft() + inner + centre);
        }
    }
    move(target.topLeft());
    resize(target.size() - (frame.size() - size()));
}

void TImgViewForm::UpdateDragHint()
{
    const bool larger =
        !stretch_ && ImageExceedsArea(ClientSize(), ToolbarHeight(), StatusHeight(), ImageSize());
    for (QWidget *w : {Img, ScrollBoxImg->viewport()}) {
        // The hint goes to the status bar like every other hint; the tool tip shows it at the pointer.
        if (larger) {
            w->setCursor(Qt::OpenHandCursor);
            w->setToolTip(DragHint);
            w->setStatusTip(DragHint);
        } else {
            w->unsetCursor();
            w->setToolTip(QString());
            w->setStatusTip(QString());
        }
    }
    // Leaving the image would clear it, but the pointer may stay where it is.
    if (!larger && StatusBar->currentMessage() == DragHint)
        StatusBar->clearMessage();
}

void TImgViewForm::SetStretch(bool on)
{
    stretch_ = on;
    BStretch->setChecked(on);
    if (on) {
        SetAutoSize(false);
        ScrollBoxImg->hide();
        Img->setParent(this);
        Img->show();
        Img->raise();
        StretchedLayout();
    } else {
        Img->setParent(canvas_);
        Img->move(0, 0);
        Img->resize(ImageSize());
        Img->show();
        ScrollBoxImg->show();
        CentredLayout();
    }
    UpdateDragHint();
}

void TImgViewForm::SetAutoSize(bool on)
{
    autoSize_ = on;
    BAutoSize->setChecked(on);
    if (on) {
        if (stretch_)
            SetStretch(false);
        Img->move(0, 0);
        if (!picture_.isNull())
            FitWindow();
    }
    CentredLayout();
}

void TImgViewForm::BStretchClick()
{
    SetStretch(!stretch_);
}

void TImgViewForm::BAutoSizeClick()
{
    SetAutoSize(!autoSize_);
}

void TImgViewForm::BStayOnTopClick()
{
    const bool on = !StayOnTop();
    const bool wasVisible = isVisible();
    // Changing the flags re-creates the window, which hides it.
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (wasVisible)
        show();
    BStayOnTop->setChecked(on);
}

void TImgViewForm::BpreviousNextClick(bool forward)
{
    if (!current_.isValid())
        return;
    TImageItemList *list = current_.list;
    try {
        QString path;
        QImage picture;
        int row = current_.index.row();
        for (;;) {
            row += forward ? 1 : -1;
            if (row < 0 || row >= list->RowCount())
                return; // at an end nothing changes
            if (list->ImageOf(row, path, picture))
                break;
        }
        list->SelectOnly(row);
        stepMarker_ = forward ? 1 : 2;
        ShowImage(TImageItem{list, list->IndexOf(row)}, path, picture);
        stepMarker_ = 0;
        StatusBar->clearMessage();
    } catch (const std::exception &) {
        // A list that changed under us: the step is simply not made.
        stepMarker_ = 0;
    }
}

void TImgViewForm::FormResize()
{
    StretchedLayout();
    CentredLayout();
    UpdateDragHint();
}

void TImgViewForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

bool TImgViewForm::event(QEvent *event)
{
    if (event->type() == QEvent::StatusTip) {
        // The hints of this window's buttons go to its own status bar.
        const QString tip = static_cast<QStatusTipEvent *>(event)->tip();
        if (tip.isEmpty())
            StatusBar->clearMessage();
        else
            StatusBar->showMessage(tip);
        return true;
    }
    if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Show) {
        const bool result = QWidget::event(event);
        FormResize();
        return result;
    }
    return QWidget::event(event);
}

bool TImgViewForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Img || watched == ScrollBoxImg->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton)
                ImgMouseDown(mouse->globalPosition().toPoint());
            break;
        }
        case QEvent::MouseMove:
            ImgMouseMove(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
            break;
        case QEvent::MouseButtonRelease:
            ImgMouseUp();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TImgViewForm::ImgMouseDown(const QPoint &globalPos)
{
    if (stretch_)
        return;
    dragging_ = true;
    dragStart_ = globalPos;
    scrollStart_ =
        QPoint(ScrollBoxImg->horizontalScrollBar()->value(), ScrollBoxImg->verticalScrollBar()->value());
}

void TImgViewForm::ImgMouseMove(const QPoint &globalPos)
{
    if (!dragging_)
        return;
    // The image follows the pointer.
    ScrollBoxImg->horizontalScrollBar()->setValue(scrollStart_.x() + dragStart_.x() - globalPos.x());
    ScrollBoxImg->verticalScrollBar()->setValue(scrollStart_.y() + dragStart_.y() - globalPos.y());
}

void TImgViewForm::ImgMouseUp()
{
    dragging_ = false;
}

void TImgViewForm::ReadSettings(TCustomIniFile &store, const QString &section)
{
    const std::string sec = section.toStdString();
    TPlacementStore(store).RestorePlacement(this, section, FullPlacement);
    BStayOnTop->setChecked(StayOnTop());
    const bool stretch = store.ReadBool(sec, "Stretch", stretch_);
    if (stretch != stretch_)
        SetStretch(stretch);
    const bool autoSize = store.ReadBool(sec, "AutoSize", autoSize_);
    if (autoSize != autoSize_)
        SetAutoSize(autoSize);
}

void TImgViewForm::WriteSettings(TCustomIniFile &store, const QString &section)
{
    const std::string sec = section.toStdString();
    TPlacementStore(store).SavePlacement(this, section, FullPlacement);
    store.WriteBool(sec, "Stretch", stretch_);
    store.WriteBool(sec, "AutoSize", autoSize_);
}
