#include "preview/GlanceForm.h"

#include "audio/WavePlayer.h"
#include "common/BusyCursor.h"
#include "common/MessageBoxes.h"
#include "common/PathUtils.h"
#include "controls/ImgControl.h"
#include "controls/PlacementStore.h"
#include "controls/SliderControl.h"
#include "platform/CustomIniFile.h"
#include "preview/GlanceLayout.h"
#include "preview/GlanceSplash.h"

#include <QApplication>
#include <QFileInfo>
#include <QHideEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRandomGenerator>
#include <QStatusBar>

namespace {

// The client area: paints the panels and takes the clicks on the drum step buttons.
class TGlanceCanvas : public QWidget {
public:
    explicit TGlanceCanvas(TGlanceForm *form) : QWidget(form), form_(form)
    {
        setObjectName("Canvas");
        setMouseTracking(true);
        setAutoFillBackground(true);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        form_->PaintPanels(painter, event->rect());
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        form_->FormMouseDown(event->button(), event->position().toPoint());
    }
    void mouseMoveEvent(QMouseEvent *event) override { form_->FormMouseMove(event->position().toPoint()); }
    void leaveEvent(QEvent *) override { form_->FormMouseMove(QPoint(-1, -1)); }

private:
    TGlanceForm *form_;
};

// The long part of a "short|long" hint.
QString LongHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf('|');
    return bar < 0 ? hint : hint.mid(bar + 1);
}

const QColor Silver(192, 192, 192);

} // namespace

TGlanceForm::TGlanceForm(TCustomIniFile *config, const QString &programTitle, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint), config_(config)
{
    setObjectName("GlanceForm");
    setAttribute(Qt::WA_DeleteOnClose);
    createWidgets(programTitle);
    createImages();
    setClientSize(GlanceSplashWidth, GlanceSplashHeight);
    if (config_) {
        try {
            TPlacementStore(*config_).RestorePlacement(this, Section, pfPosition);
        } catch (const std::exception &) {
            // A store that cannot be read leaves the window where the system puts it.
        }
    }
}

TGlanceForm::~TGlanceForm()
{
    // The controls go before the images they show.
    for (TImgControlBase *control : controls_)
        delete control;
    controls_.clear();
    freeImages();
}

void TGlanceForm::createWidgets(const QString &programTitle)
{
    setWindowTitle(QString(Section) + " - " + programTitle);
    QPalette silver = palette();
    silver.setColor(QPalette::Window, Silver);
    setPalette(silver);

    File1 = menuBar()->addMenu("&File");
    File1->setObjectName("File1");
    Close1 = File1->addAction("&Close", this, &TGlanceForm::Close1Click);
    Close1->setObjectName("Close1");
    Close1->setStatusTip("Close the window and show the lovely about screen");

    Options1 = menuBar()->addMenu("&Options");
    Options1->setObjectName("Options1");
    connect(Options1, &QMenu::aboutToShow, this, &TGlanceForm::Options1Click);
    ShowDynamic = Options1->addAction("&Show Active controls");
    ShowDynamic->setObjectName("ShowDynamic");
    ShowDynamic->setCheckable(true);
    ShowDynamic->setChecked(true);
    ShowDynamic->setStatusTip("Shows or hides all dynamic controls");
    // The action has already flipped its check when it fires.
    connect(ShowDynamic, &QAction::triggered, this, &TGlanceForm::applyShowDynamic);
    Refresh1 = Options1->addAction("&Refresh", this, &TGlanceForm::Refresh1Click);
    Refresh1->setObjectName("Refresh1");
    Refresh1->setStatusTip("Reloads the images of the current directory");
    Randomizepositions1 =
        Options1->addAction("R&andomize positions", this, &TGlanceForm::Randomizepositions1Click);
    Randomizepositions1->setObjectName("Randomizepositions1");
    Maximumpositions1 = Options1->addAction("Maximum positions", this, &TGlanceForm::Maximumpositions1Click);
    Maximumpositions1->setObjectName("Maximumpositions1");
    ResetPositions1 = Options1->addAction("R&eset positions", this, &TGlanceForm::ResetPositions1Click);
    ResetPositions1->setObjectName("ResetPositions1");

    canvas_ = new TGlanceCanvas(this);
    setCentralWidget(canvas_);

    Splash = new QLabel(canvas_);
    Splash->setObjectName("Splash");
    Splash->setPixmap(QPixmap::fromImage(GlanceSplashPicture()));
    Splash->setGeometry(0, 0, GlanceSplashWidth, GlanceSplashHeight);
    // Clicks and moves reach the canvas below (the start-up sound region).
    Splash->setAttribute(Qt::WA_TransparentForMouseEvents);

    LVersion = new QLabel(VersionNumber() + " build " + VersionBuild(), canvas_);
    LVersion->setObjectName("LVersion");
    LVersion->setAlignment(Qt::AlignRight | Qt::AlignTop);
    LVersion->setStyleSheet("color: yellow; background: transparent;");
    LVersion->setGeometry(150, 8, GlanceSplashWidth - 150 - 10, 16);
    LVersion->setAttribute(Qt::WA_TransparentForMouseEvents);

    LText = new QLabel(SplashText, canvas_);
    LText->setObjectName("LText");
    LText->setWordWrap(true);
    LText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LText->setStyleSheet("color: silver; background: transparent;");
    LText->setGeometry(220, 70, GlanceSplashWidth - 220 - 8, 72);
    LText->setAttribute(Qt::WA_TransparentForMouseEvents);

    StatusPanel = new QLabel(this);
    StatusPanel->setObjectName("StatusPanel");
    StatusPanel->setMinimumWidth(0);
    statusBar()->setObjectName("StatusBar");
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(StatusPanel, 1);

    // A fixed single border: the window is always exactly its contents.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TGlanceForm::setClientSize(int width, int height)
{
    canvas_->setFixedSize(width, height);
    layout()->activate();
}

bool TGlanceForm::SplashMode() const
{
    return Splash->width() >= canvas_->width();
}

TSharedImage *TGlanceForm::Image(int imageIndex) const
{
    return imageIndex >= 0 && imageIndex < ImageCount ? images_[size_t(imageIndex)].get() : nullptr;
}

QString TGlanceForm::StatusText() const
{
    return StatusPanel->text();
}

QString TGlanceForm::HintText() const
{
    return statusBar()->currentMessage();
}

void TGlanceForm::setStatusText(const QString &text)
{
    StatusPanel->setText(text);
}

void TGlanceForm::showHint(const QString &hint)
{
    if (hint.isEmpty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(hint);
}

void TGlanceForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (shownOnce_ || event->spontaneous())
        return;
    shownOnce_ = true;
    if (config_) {
        try {
            ShowDynamic->setChecked(config_->ReadBool(Section, "Active controls", true));
        } catch (const std::exception &) {
        }
    }
    // The controls are made once the window is on screen, so it shows at once.
    QMetaObject::invokeMethod(this, &TGlanceForm::FormShown, Qt::QueuedConnection);
}

void TGlanceForm::FormShown()
{
    if (hiding_)
        return;
    repaint();
    CreateElements();
    RefreshImages(true);
    setStatusText(QString());
}

void TGlanceForm::hideEvent(QHideEvent *event)
{
    QMainWindow::hideEvent(event);
    // Minimizing is no reason to go.
    if (!event->spontaneous())
        FormHide();
}

void TGlanceForm::FormHide()
{
    if (hiding_)
        return;
    hiding_ = true;
    if (config_) {
        try {
            TPlacementStore(*config_).SavePlacement(this, Section, pfPosition);
            config_->WriteBool(Section, "Active controls", ShowDynamic->isChecked());
        } catch (const std::exception &) {
            // Not being able to remember the place is no reason to keep the window.
        }
    }
    deleteLater();
}

void TGlanceForm::Close1Click()
{
    close();
}

void TGlanceForm::Options1Click()
{
    const bool mod = !SplashMode();
    for (QAction *action : {Refresh1, Randomizepositions1, Maximumpositions1, ResetPositions1})
        action->setEnabled(mod);
}

void TGlanceForm::ShowDynamicClick()
{
    ShowDynamic->setChecked(!ShowDynamic->isChecked());
    applyShowDynamic();
}

void TGlanceForm::applyShowDynamic()
{
    TBusyCursor busy;
    setStatusText("Updating active controls...");
    const bool visible = ShowDynamic->isChecked() && !SplashMode();
    for (TImgControlBase *control : controls_)
        control->setVisible(visible);
    setStatusText(QString());
}

void TGlanceForm::Refresh1Click()
{
    RefreshImages(true);
}

namespace {

void SetControlPosition(TImgControlBase *control, const std::function<int32_t(int32_t max)> &value)
{
    if (auto *knob = qobject_cast<TImgControl *>(control))
        knob->SetPosition(value(knob->Max()));
    else if (auto *slider = qobject_cast<TSliderControl *>(control))
        slider->SetPosition(value(slider->Max()));
}

} // namespace

void TGlanceForm::Randomizepositions1Click()
{
    for (TImgControlBase *control : controls_)
        SetControlPosition(control, [](int32_t max) {
            return max > 0 ? int32_t(QRandomGenerator::global()->bounded(max)) : 0;
        });
}

void TGlanceForm::Maximumpositions1Click()
{
    for (TImgControlBase *control : controls_)
        SetControlPosition(control, [](int32_t max) { return max; });
}

void TGlanceForm::ResetPositions1Click()
{
    for (TImgControlBase *control : controls_)
        SetControlPosition(control, [](int32_t) { return 0; });
}

QString TGlanceForm::DrumHint(int drum)
{
    if (drum < 0 || drum >= DrumCount)
        return QString();
    const QString path = CatalogueCreated() ? DrumEntry(drum).path : QString();
    return "|" + DrumName(drum) + " (" + QFileInfo(path).fileName() + ")";
}

void TGlanceForm::FormMouseMove(const QPoint &point)
{
    showHint(LongHint(DrumHint(DrumAt(point.x(), point.y()))));
}

void TGlanceForm::FormMouseDown(Qt::MouseButton button, const QPoint &point)
{
    if (button != Qt::LeftButton || !WavePlayerAvailable())
        return;
    const int drum = DrumAt(point.x(), point.y());
    FormMouseMove(point);
    if (drum < 0)
        return;
    const QString path = DrumEntry(drum).path;
    if (path.isEmpty())
        return;
    try {
        PlayWave(path);
    } catch (const std::exception &e) {
        ShowError(QString::fromUtf8(e.what()));
    }
}

void TGlanceForm::highlightDown(TImgControlBase *control, Qt::MouseButton button, const QPoint &point)
{
    pressed_ = control;
    pressedAt_ = point;
    if (button != Qt::RightButton)
        return;
    TSharedImage *image = control->Image();
    if (auto *slider = qobject_cast<TSliderControl *>(control))
        if (slider->ThumbImage() && slider->ThumbRect().contains(point))
            image = slider->ThumbImage();
    if (highlighted_ && highlighted_ != image)
        highlighted_->SetAlwaysDisplayEmpty(false);
    highlighted_ = image;
    if (highlighted_)
        highlighted_->SetAlwaysDisplayEmpty(true);
}

void TGlanceForm::highlightUp()
{
    // The image marked on the press, even when the pointer has moved off it since.
    if (highlighted_)
        highlighted_->SetAlwaysDisplayEmpty(false);
    highlighted_ = nullptr;
    pressed_ = nullptr;
}

bool TGlanceForm::eventFilter(QObject *watched, QEvent *event)
{
    auto *control = qobject_cast<TImgControlBase *>(watched);
    if (control && (event->type() == QEvent::Enter || event->type() == QEvent::Leave)) {
        if (event->type() == QEvent::Enter)
            showHint(LongHint(control->Hint()));
        else if (!control->HasCapture())
            showHint(QString());
    }
    return QMainWindow::eventFilter(watched, event);
}

void TGlanceForm::PaintPanels(QPainter &painter, const QRect &area) const
{
    if (SplashMode())
        return;
    painter.setBrush(palette().window());
    painter.setPen(Qt::black);
    for (const TPanelPlace &place : PanelPlaces) {
        const TImageRecord &record = PanelTable[size_t(place.panel)];
        const QRect r(place.x, place.y, record.frameWidth, record.frameHeight);
        const QImage *picture = panelPictures_[size_t(PanelImage(place.panel))].get();
        const bool empty = !picture || picture->isNull();
        // A picture larger than its place is drawn whole, over its neighbours, so
        // that the user sees it is too big; it counts wherever it reaches.
        const QRect drawn = empty ? r : r.united(QRect(r.topLeft(), picture->size()));
        if (!drawn.intersects(area))
            continue;
        if (empty) {
            painter.fillRect(r, palette().window());
            painter.drawLine(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
            painter.drawLine(r.left(), r.top() + r.height(), r.left() + r.width(), r.top());
            continue;
        }
        painter.drawImage(r.topLeft(), *picture);
        if (picture->width() < r.width())
            painter.fillRect(QRect(r.left() + picture->width(), r.top(), r.width() - picture->width(),
                                   std::min(picture->height(), r.height())),
                             palette().window());
        if (picture->height() < r.height())
            painter.fillRect(
                QRect(r.left(), r.top() + picture->height(), r.width(), r.height() - picture->height()),
                palette().window());
    }
}
