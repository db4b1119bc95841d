#include "workbench/WizardForm.h"

#include "FormFixture.h"
#include "platform/WaveOutRecorder.h"
#include "support/gui/WindowWaits.h"
#include "workbench/AssForm.h"
#include "workbench/NewAssForm.h"
#include "workbench/SettingForm.h"
#include "workbench/SplashForm.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTimer>

namespace {

class WizardFormTest : public FormFixture {
protected:
    TWizardForm &open()
    {
        if (!form)
            start();
        wizard = TWizardForm::ShowWizard(*form);
        return *wizard;
    }
    // Runs the deferred deletes of closed windows.
    static void flush()
    {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Clicks the first visible window of type T from a timer (a modal loop runs meanwhile).
    template <class T> void whenShown(std::function<void(T &)> act)
    {
        auto *timer = new QTimer(form.get());
        timer->setInterval(10);
        QObject::connect(timer, &QTimer::timeout, [timer, act] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *t = qobject_cast<T *>(w); t && t->isVisible()) {
                    timer->stop();
                    timer->deleteLater();
                    act(*t);
                    return;
                }
        });
        timer->start();
    }

    QPointer<TWizardForm> wizard;
};

int BottomOf(QWidget *w)
{
    return w->geometry().bottom() + 1;
}

TEST_F(WizardFormTest, OpensOnWelcomeAsANonModalWindowOnTop)
{
    TWizardForm &w = open();
    EXPECT_EQ(w.windowTitle(), "Wrightaid!");
    EXPECT_FALSE(w.isModal());
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(w.PageName(), "Welcome");
    EXPECT_TRUE(w.isVisible());
    // Texts of the steps are there and read-only.
    for (QPlainTextEdit *text : {w.MText1, w.MText3, w.MText4, w.MText5}) {
        EXPECT_TRUE(text->isReadOnly());
        EXPECT_GT(text->toPlainText().size(), 200);
    }
    EXPECT_TRUE(w.MText1->toPlainText().contains("does not"));
    // A second command brings the same window forward.
    EXPECT_EQ(TWizardForm::ShowWizard(*form), &w);
}

TEST_F(WizardFormTest, ShowsCentredOverTheMainWindow)
{
    start();
    form->showNormal();
    form->setGeometry(40, 40, 700, 520);
    QApplication::processEvents();
    TWizardForm &w = open();
    QApplication::processEvents();
    const QPoint formCentre = form->frameGeometry().center();
    const QPoint wizardCentre = w.frameGeometry().center();
    EXPECT_LE(std::abs(formCentre.x() - wizardCentre.x()), 1);
    EXPECT_LE(std::abs(formCentre.y() - wizardCentre.y()), 1);
}

TEST_F(WizardFormTest, PagesRunInOrderAndNextOnTheLastReturnsToWelcome)
{
    TWizardForm &w = open();
    EXPECT_EQ(TWizardForm::PageNames(),
              (QStringList{"Welcome", "Step1", "step2", "Step3", "Step4", "Step5"}));
    w.BFirstSteps->click();
    EXPECT_EQ(w.PageName(), "Step1");
    QStringList seen{w.PageName()};
    for (int i = 0; i < 5; ++i) {
        w.BNext->click();
        seen << w.PageName();
    }
    EXPECT_EQ(seen, (QStringList{"Step1", "step2", "Step3", "Step4", "Step5", "Welcome"}));
    EXPECT_TRUE(w.BNext->isHidden());
    EXPECT_TRUE(w.BPrevious->isHidden());
    EXPECT_FALSE(w.CBShow->isHidden());

    w.SetPage(3);
    w.BPrevious->click();
    EXPECT_EQ(w.PageName(), "step2");
    w.BPrevious->click();
    w.BPrevious->click();
    EXPECT_EQ(w.PageName(), "Welcome");
    w.BPrevious->click(); // not before the first
    EXPECT_EQ(w.PageName(), "Welcome");
}

TEST_F(WizardFormTest, WindowEndsSevenPixelsBelowTheVisibleBottomControl)
{
    TWizardForm &w = open();
    EXPECT_EQ(w.height(), BottomOf(w.CBShow) + 7);
    const int welcomeHeight = w.height();
    w.BFirstSteps->click();
    EXPECT_EQ(w.height(), BottomOf(w.BNext) + 7);
    EXPECT_TRUE(w.CBShow->isHidden());
    EXPECT_FALSE(w.BNext->isHidden());
    w.SetPage(0);
    EXPECT_EQ(w.height(), welcomeHeight);
}

TEST_F(WizardFormTest, InstallationCheckFollowsTheFilesNotTheClicks)
{
    start();
    form->Settings.ModPackerPath = dir.createFile("ModPacker/ModPacker.exe", "MZ");
    form->Settings.ReBirthPath = dir.file("ReBirth/ReBirth.exe"); // not there
    auto soundCard = std::make_shared<TWaveOutRecorder>();
    auto previous = SetWaveOutBackend(soundCard);
    soundCard->setDevices({}); // no sound card
    FreeWavePlayer();
    TWizardForm &w = open();
    EXPECT_TRUE(w.CBModPacker->isChecked());
    EXPECT_FALSE(w.BSetMP->isEnabled());
    EXPECT_FALSE(w.CBReBirth->isChecked());
    EXPECT_TRUE(w.BSetRB->isEnabled());
    EXPECT_FALSE(w.CBSoundcard->isChecked());

    w.SetPage(2);
    w.CBReBirth->click();
    EXPECT_FALSE(w.CBReBirth->isChecked());
    w.CBModPacker->click();
    EXPECT_TRUE(w.CBModPacker->isChecked());
    w.CBSoundcard->click();
    EXPECT_FALSE(w.CBSoundcard->isChecked());

    // Installed meanwhile: the next click shows it.
    dir.createFile("ReBirth/ReBirth.exe", "MZ");
    soundCard->setDevices({"Card"}); // plugged in
    w.CBSoundcard->click();
    EXPECT_TRUE(w.CBReBirth->isChecked());
    EXPECT_FALSE(w.BSetRB->isEnabled());
    EXPECT_TRUE(w.CBSoundcard->isChecked());
    FreeWavePlayer();
    SetWaveOutBackend(previous);
}

TEST_F(WizardFormTest, SetOpensTheProgramPathsAndChecksAgain)
{
    setValue("ModPackerPath", dir.file("nowhere/ModPacker.exe"));
    setValue("ReBirthPath", dir.file("nowhere/ReBirth.exe"));
    // The settings dialog each time it shows: the first time the user enters a
    // ModPacker that is there and confirms, then cancels.
    QStringList pages;
    QTimer settings;
    settings.setInterval(10);
    QObject::connect(&settings, &QTimer::timeout, [&] {
        auto *d = VisibleWindow<TSettingForm>();
        if (!d)
            return;
        pages << d->PageControl->tabText(d->PageControl->currentIndex());
        if (pages.size() == 1) {
            d->EModPacker->setText(dir.createFile("MP/ModPacker.exe", "MZ"));
            d->BOK->click();
        } else {
            d->BCancel->click();
        }
    });
    settings.start();
    TWizardForm &w = open();
    EXPECT_FALSE(w.CBModPacker->isChecked());
    w.BSetMP->click();
    EXPECT_EQ(pages, QStringList{"ReBirth paths"});
    EXPECT_TRUE(w.CBModPacker->isChecked());
    EXPECT_FALSE(w.BSetMP->isEnabled());
    w.BSetRB->click();
    EXPECT_EQ(pages, (QStringList{"ReBirth paths", "ReBirth paths"}));
    EXPECT_FALSE(w.CBReBirth->isChecked());
}

TEST_F(WizardFormTest, ShowThisAtStartUpEditsShowWelcomeAtOnce)
{
    start();
    form->Settings.ShowWelcome = false;
    TWizardForm &w = open();
    EXPECT_FALSE(w.CBShow->isChecked());
    w.CBShow->click();
    EXPECT_TRUE(form->Settings.ShowWelcome);
    w.CBShow->click();
    EXPECT_FALSE(form->Settings.ShowWelcome);
}

TEST_F(WizardFormTest, CloseFreesTheWindow)
{
    TWizardForm &w = open();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    w.BClose->click();
    flush();
    EXPECT_TRUE(wizard.isNull());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // The next command makes a new one.
    TWizardForm &again = open();
    EXPECT_EQ(again.PageName(), "Welcome");
}

TEST_F(WizardFormTest, OpenRunsTheOpenAssignmentCommandWithTheWizardHidden)
{
    TWizardForm &w = open();
    bool wizardHidden = false;
    whenShown<TAssForm>([&](TAssForm &d) {
        wizardHidden = !wizard.isNull() && !wizard->isVisible();
        d.reject();
    });
    w.BOpen->click();
    flush();
    EXPECT_TRUE(wizardHidden);
    EXPECT_TRUE(wizard.isNull());
}

TEST_F(WizardFormTest, NewRunsTheNewAssignmentCommand)
{
    TModwrightForm &f = start();
    f.Set().AssignFile(*FindRow(f.LVBMPRes, "LED digits"), MakeBmp(dir, "led.bmp", 109, 16));
    f.Set().modified = false;
    TWizardForm &w = open();
    bool asked = false;
    whenShown<TNewAssForm>([&](TNewAssForm &d) {
        asked = true;
        d.RBClear->setChecked(true);
        d.BOKClick();
    });
    w.Button1->click();
    flush();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(wizard.isNull());
    EXPECT_FALSE(FindRow(f.LVBMPRes, "LED digits")->isAssigned());
}

TEST_F(WizardFormTest, MenuCommandAndStartUpOpenTheWizard)
{
    TModwrightForm &f = start();
    EXPECT_TRUE(f.ModWizard1->isEnabled());
    f.ModWizard1->trigger();
    TWizardForm *shown = TWizardForm::Current(f);
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->isVisible());
    shown->close();
    flush();
    EXPECT_EQ(TWizardForm::Current(f), nullptr);

    // After the splash: opened when ShowWelcome is on, not otherwise.
    f.Settings.ShowWelcome = false;
    QEvent event(StartupContinuesEvent);
    QApplication::sendEvent(&f, &event);
    EXPECT_EQ(TWizardForm::Current(f), nullptr);
    f.Settings.ShowWelcome = true;
    QApplication::sendEvent(&f, &event);
    ASSERT_NE(TWizardForm::Current(f), nullptr);
    EXPECT_TRUE(TWizardForm::Current(f)->isVisible());
}

} // namespace
