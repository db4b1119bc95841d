#include "workbench/ErrForm.h"
#include "workbench/QtMessageBoxes.h"
#include "workbench/SplashForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Counts the start-up-continues events it receives.
class TOwner : public QWidget {
public:
    int continued = 0;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() == StartupContinuesEvent)
            ++continued;
        return QWidget::event(e);
    }
};

void Click(QWidget *w)
{
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

TEST(SplashForm, VersionCaption)
{
    EXPECT_EQ(TSplashForm::VersionCaption("2.0.2.320"), "V2.02 build 320");
    EXPECT_EQ(TSplashForm::VersionCaption("2.1"), "V2 build 1");
}

TEST(SplashForm, GreetingsAndTheirPick)
{
    EXPECT_EQ(TSplashForm1::Greeting(0), TSplashForm1::Greeting(1));
    for (int i = 0; i < TSplashForm1::GreetingCount; ++i)
        EXPECT_FALSE(TSplashForm1::Greeting(i).isEmpty()) << i;
    EXPECT_TRUE(TSplashForm1::Greeting(31).isEmpty());
    EXPECT_EQ(TSplashForm1::GreetingIndex(0.0), 0);
    // round(r x 30), halves to even.
    EXPECT_EQ(TSplashForm1::GreetingIndex(0.5 / 30), 0);
    EXPECT_EQ(TSplashForm1::GreetingIndex(1.5 / 30), 2);
    EXPECT_EQ(TSplashForm1::GreetingIndex(0.999999), 30);
}

TEST(SplashForm, StartupSplashClosesOnClickAndHandsOver)
{
    TOwner owner;
    owner.show();
    TSplashForm1 *splash = TSplashForm1::CreateForStartup(&owner);
    ASSERT_EQ(TSplashForm1::Current(), splash);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_TRUE(splash->TimerRunning());
    EXPECT_EQ(splash->Timer1->interval(), 3000);
    EXPECT_TRUE(splash->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(splash->LText->text().isEmpty());
    EXPECT_TRUE(splash->LVersion->text().startsWith("V"));
    // The picture sets the window's size.
    EXPECT_EQ(splash->size(), splash->Image1->pixmap().deviceIndependentSize().toSize());
    Click(splash->LText);
    EXPECT_EQ(TSplashForm1::Current(), nullptr);
    QApplication::processEvents();
    EXPECT_EQ(owner.continued, 1);
}

TEST(SplashForm, TimerClosesTheStartupSplash)
{
    TOwner owner;
    owner.show();
    QPointer<TSplashForm1> splash = TSplashForm1::CreateForStartup(&owner);
    splash->Timer1->setInterval(5);
    splash->Timer1->start();
    for (int i = 0; i < 100 && owner.continued == 0; ++i) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    EXPECT_EQ(owner.continued, 1);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(splash.isNull());
}

TEST(SplashForm, AboutBoxHasNoTimerAndDoesNotHandOver)
{
    TOwner owner;
    owner.show();
    TSplashForm1 *about = TSplashForm1::CreateAbout(&owner);
    EXPECT_FALSE(about->StartupMode());
    EXPECT_FALSE(about->TimerRunning());
    EXPECT_EQ(about->LText->text(), TSplashForm1::AboutText());
    Click(about);
    QApplication::processEvents();
    EXPECT_EQ(owner.continued, 0);
    EXPECT_EQ(TSplashForm1::Current(), nullptr);
}

TEST(SplashForm, ANewSplashReplacesTheOpenOne)
{
    TOwner owner;
    owner.show();
    TSplashForm1::CreateForStartup(&owner);
    TSplashForm1 *about = TSplashForm1::CreateAbout(&owner);
    EXPECT_EQ(TSplashForm1::Current(), about);
    QApplication::processEvents();
    EXPECT_EQ(owner.continued, 1); // the start-up one handed over when it went
    about->hide();
}

TEST(ErrForm, CollectsLinesAndEditsTheTwoSettings)
{
    bool warnings = true, infos = false;
    TErrForm form(warnings, infos);
    EXPECT_EQ(form.windowTitle(), "Messages");
    EXPECT_FALSE(form.HasMessages());
    form.AddMessage("*Warning: a.wav is not mono.");
    form.AddMessage("");
    form.AddMessage("**Error: Could not assign 808 Cowbell");
    EXPECT_TRUE(form.HasMessages());
    EXPECT_EQ(form.MemoError->toPlainText(),
              "*Warning: a.wav is not mono.\n\n**Error: Could not assign 808 Cowbell");
    EXPECT_TRUE(form.MemoError->isReadOnly());

    // Shown modally: the boxes take the settings; closing takes them back and clears.
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(form.CBWarnings->isChecked());
        EXPECT_FALSE(form.CBInfos->isChecked());
        form.CBWarnings->setChecked(false);
        form.CBInfos->setChecked(true);
        form.BClose->click();
    });
    form.ShowMessages();
    EXPECT_FALSE(warnings);
    EXPECT_TRUE(infos);
    EXPECT_FALSE(form.HasMessages());
    EXPECT_TRUE(form.MemoError->toPlainText().isEmpty());
}

TEST(QtMessageBoxes, LineBreaksShowOnce)
{
    EXPECT_EQ(TQtMessageBoxes::DisplayText("a\r\nb\n\rc"), "a\nb\nc");
}

} // namespace

#include "workbench/HintStyle.h"

namespace {

TEST(HintStyle, HintsWaitTwoSeconds)
{
    THintStyle style;
    EXPECT_EQ(style.styleHint(QStyle::SH_ToolTip_WakeUpDelay), 2000);
}

} // namespace
