#include "workbench/SplashForm.h"

#include "common/PathUtils.h"
#include "workbench/WorkbenchIcons.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QScreen>
#include <QTimer>
#include <cfenv>
#include <cmath>

namespace {

TSplashForm1 *g_splash = nullptr;

// Short lines for the start-up; the first two are the same on purpose, so the
// rounding of the random pick favours neither end of the table.
const char *const Greetings[TSplashForm1::GreetingCount] = {
    "Warming up the oscillators...",
    "Warming up the oscillators...",
    "Polishing every knob, one frame at a time.",
    "Tuning the 808 bass drum a little lower.",
    "Counting the LEDs: all present.",
    "Sweeping the step buttons clean.",
    "Asking the 909 for a fresh hi-hat.",
    "Oiling the sliders.",
    "Teaching the cowbell some manners.",
    "Lining up 59 pictures and 46 drums.",
    "Checking that every panel still fits.",
    "Resonance up, cutoff down, here we go.",
    "Dusting off the pattern memory.",
    "Today is a good day for a new mod.",
    "Looking for the accent button.",
    "Waking up the drum machines.",
    "Bending the pitch wheel of the morning.",
    "Loading the colours of your mod.",
    "Sixteen steps to a better groove.",
    "Making room for one more clap.",
    "Setting the tempo to something funky.",
    "Sampling the sound of a quiet studio.",
    "Putting new faces on old knobs.",
    "Rewiring the patch bay in our heads.",
    "Calibrating the decay of good ideas.",
    "Everything sounds better in 44100 Hz.",
    "A little distortion never hurt anyone.",
    "Your mod is only a few drags away.",
    "Re-reading the manual, just in case.",
    "Warming the tubes we never had.",
    "Ready when you are.",
};

} // namespace

// --- TSplashForm -------------------------------------------------------------

TSplashForm::TSplashForm(QWidget *owner, bool startupMode)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), owner_(owner),
      startupMode_(startupMode)
{
    // A top-level window of its own: minimizing or restoring the main window
    // never hides or shows it.
    setObjectName("SplashForm");
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose, false);

    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    const QPixmap picture = WorkbenchIcons::SplashPicture(ratio);
    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setPixmap(picture);
    const QSize size = picture.deviceIndependentSize().toSize();
    if (size.width() > 0 && size.height() > 0) {
        Image1->setGeometry(QRect(QPoint(0, 0), size));
        setFixedSize(size);
    }

    LVersion = new QLabel(VersionCaption(VersionText()), this);
    LVersion->setObjectName("LVersion");
    LVersion->setAlignment(Qt::AlignCenter);
    LVersion->setStyleSheet("color: rgb(200, 205, 225); background: transparent;");
    LVersion->setGeometry(0, 4, width(), LVersion->sizeHint().height());

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(3000);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TSplashForm::Timer1Timer);
}

TSplashForm::~TSplashForm() = default;

QString TSplashForm::VersionCaption(const QString &versionText)
{
    return "V" + VersionNumber(versionText) + " build " + VersionBuild(versionText);
}

bool TSplashForm::TimerRunning() const
{
    return Timer1->isActive();
}

void TSplashForm::mousePressEvent(QMouseEvent *event)
{
    Timer1->stop();
    hide();
    event->accept();
}

void TSplashForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (startupMode_)
        Timer1->start();
}

void TSplashForm::Timer1Timer()
{
    Timer1->stop();
    hide();
}

void TSplashForm::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (startupMode_ && owner_ && owner_->isVisible() && !postedStartup_) {
        QCoreApplication::postEvent(owner_, new QEvent(StartupContinuesEvent));
        postedStartup_ = true;
    }
    startupMode_ = false;
}

// --- TSplashForm1 ------------------------------------------------------------

TSplashForm1::TSplashForm1(QWidget *owner, bool startupMode) : TSplashForm(owner, startupMode)
{
    setObjectName("SplashForm1");
    LText = new QLabel(this);
    LText->setObjectName("LText");
    LText->setWordWrap(true);
    LText->setAlignment(Qt::AlignCenter);
    LText->setStyleSheet("color: rgb(235, 238, 250); background: transparent;");
    QFont font = LText->font();
    font.setPixelSize(12);
    LText->setFont(font);
    LText->setGeometry(16, 208, width() - 32, height() - 212);
}

TSplashForm1 *TSplashForm1::Current()
{
    return g_splash;
}

QString TSplashForm1::Greeting(int i)
{
    return (i >= 0 && i < GreetingCount) ? QString::fromUtf8(Greetings[i]) : QString();
}

int TSplashForm1::GreetingIndex(double random)
{
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const int index = int(std::nearbyint(random * (GreetingCount - 1)));
    std::fesetround(saved);
    return qBound(0, index, GreetingCount - 1);
}

QString TSplashForm1::AboutText()
{
    return QStringLiteral("Modwright dresses ReBirth in your own pictures and drum sounds: assign images "
                          "and samples to its components, look at them in Glance, and let ModPacker "
                          "pack the mod. Click to close.");
}

TSplashForm1 *TSplashForm1::CreateForStartup(QWidget *owner)
{
    if (g_splash)
        g_splash->hide();
    auto *splash = new TSplashForm1(owner, true);
    splash->LText->setText(Greeting(GreetingIndex(QRandomGenerator::global()->generateDouble())));
    g_splash = splash;
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry()
                                                          : QRect(0, 0, 1024, 768);
    splash->move(screen.center() - QPoint(splash->width() / 2, splash->height() / 2));
    splash->show();
    return splash;
}

TSplashForm1 *TSplashForm1::CreateAbout(QWidget *owner)
{
    if (g_splash)
        g_splash->hide();
    auto *splash = new TSplashForm1(owner, false);
    splash->LText->setText(AboutText());
    g_splash = splash;
    const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry()
                                                          : QRect(0, 0, 1024, 768);
    splash->move(screen.center() - QPoint(splash->width() / 2, splash->height() / 2));
    splash->show();
    return splash;
}

void TSplashForm1::hideEvent(QHideEvent *event)
{
    TSplashForm::hideEvent(event);
    if (g_splash == this)
        g_splash = nullptr;
    deleteLater();
}
