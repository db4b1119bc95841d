#include "workbench/AssForm.h"

#include "FormFixture.h"
#include "workbench/NewAssForm.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

const QString SaveQuestion = "confirm: Do you want to save the current assignment ?";

// Acts on the modal dialog of type T as soon as it is shown.
template <class T> void WhenShown(std::function<void(T *)> act)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start();
}

void Select(QListWidget *list, const QString &text)
{
    const QList<QListWidgetItem *> items = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    list->setCurrentItem(items.front());
}

QStringList Items(QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

class AssFormTest : public FormFixture {
protected:
    // A started window with "Alpha" saved (LED digits assigned), then the set emptied.
    TModwrightForm &startWithAlpha()
    {
        TModwrightForm &f = start();
        led = FindRow(f.LVBMPRes, "LED digits");
        f.Set().AssignFile(*led, MakeBmp(dir, "led.bmp", 109, 16));
        f.Set().SaveAssignment("Alpha");
        f.Set().DetachAll();
        return f;
    }
    TAssignmentData *led = nullptr;
};

} // namespace

TEST(AssignmentName, Validity)
{
    EXPECT_TRUE(IsValidAssignmentName("My mod 2"));
    EXPECT_FALSE(IsValidAssignmentName(""));
    EXPECT_FALSE(IsValidAssignmentName("(no name)"));
    EXPECT_FALSE(IsValidAssignmentName("a]b"));
    EXPECT_FALSE(IsValidAssignmentName("[a"));
    EXPECT_FALSE(IsValidAssignmentName("two\nlines"));
}

TEST_F(AssFormTest, SaveModeEnablesOkOnlyForARealName)
{
    TModwrightForm &f = startWithAlpha();
    f.Set().name = TAssignmentSet::NoName;
    TAssForm dialog(f.Set(), f.Config(), TAssForm::amSave, &f);
    EXPECT_EQ(dialog.windowTitle(), "Save Assignments");
    EXPECT_FALSE(dialog.EName->isHidden());
    EXPECT_EQ(dialog.EName->text(), "(no name)");
    EXPECT_FALSE(dialog.BOK->isEnabled());
    EXPECT_FALSE(dialog.BDelete->isEnabled());
    EXPECT_EQ(Items(dialog.LBAsses), QStringList{"Alpha"});
    dialog.EName->setText("");
    dialog.ENameChange();
    EXPECT_FALSE(dialog.BOK->isEnabled());
    dialog.EName->setText("Beta");
    dialog.ENameChange();
    EXPECT_TRUE(dialog.BOK->isEnabled());

    // Clicking a name previews it, copies it and offers to delete it.
    Select(dialog.LBAsses, "Alpha");
    EXPECT_EQ(dialog.EName->text(), "Alpha");
    EXPECT_TRUE(dialog.BDelete->isEnabled());
    EXPECT_FALSE(dialog.LBContents->count() == 0);

    // A name the assignment file could not keep is refused with a message.
    dialog.EName->setText("a[b]");
    dialog.BOKClick();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(boxes.shown.last().startsWith("error: "));
}

TEST_F(AssFormTest, SavingUnderAnExistingNameAsksFirst)
{
    TModwrightForm &f = startWithAlpha();
    TAssForm dialog(f.Set(), f.Config(), TAssForm::amSave, &f);
    dialog.EName->setText("Alpha");
    boxes.answers = {maNo};
    dialog.BOKClick();
    EXPECT_EQ(boxes.shown, QStringList{"confirm: " + QString(TAssForm::OverwriteQuestion)});
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.EName->text(), "Alpha");
    boxes.answers = {maCancel};
    dialog.BOKClick();
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    // Letter case counts: "alpha" is another name.
    boxes.shown.clear();
    dialog.EName->setText("alpha");
    dialog.BOKClick();
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.ChosenName(), "alpha");
}

TEST_F(AssFormTest, SaveCommandWritesTheTypedNameAndOverwritesOnYes)
{
    TModwrightForm &f = startWithAlpha();
    f.Set().AssignFile(*led, MakeBmp(dir, "led2.bmp", 109, 16));
    WhenShown<TAssForm>([](TAssForm *d) {
        d->EName->setText("Gamma");
        d->BOKClick();
    });
    f.SaveAssignment1->trigger();
    EXPECT_EQ(f.Set().ListAssignments(), (QStringList{"Alpha", "Gamma"}));
    EXPECT_EQ(f.Set().name, "Gamma");
    EXPECT_FALSE(f.Set().modified);
    EXPECT_EQ(f.windowTitle(), QString(ProgramTitle) + " - Gamma");

    boxes.answers = {maYes};
    WhenShown<TAssForm>([](TAssForm *d) {
        d->EName->setText("Alpha");
        d->BOKClick();
    });
    f.BSave->trigger();
    EXPECT_TRUE(f.Set().AssignmentContents("Alpha").join("\n").contains("led2.bmp"));
}

TEST_F(AssFormTest, OpenModePreviewsDeletesAndLoads)
{
    TModwrightForm &f = startWithAlpha();
    f.Set().SaveAssignment("Beta");
    {
        TAssForm dialog(f.Set(), f.Config(), TAssForm::amOpen, &f);
        EXPECT_EQ(dialog.windowTitle(), "Open Assignments");
        EXPECT_TRUE(dialog.EName->isHidden());
        EXPECT_TRUE(dialog.LName->isHidden());
        EXPECT_FALSE(dialog.BOK->isEnabled());
        Select(dialog.LBAsses, "Alpha");
        EXPECT_TRUE(dialog.BOK->isEnabled());
        EXPECT_EQ(Items(dialog.LBContents), f.Set().AssignmentContents("Alpha"));

        boxes.answers = {maNo};
        dialog.BDeleteClick();
        EXPECT_EQ(f.Set().ListAssignments().size(), 2);
        boxes.answers = {maYes};
        dialog.BDeleteClick();
        EXPECT_EQ(boxes.shown.last(), "confirm: " + QString(TAssForm::DeleteQuestion));
        EXPECT_EQ(f.Set().ListAssignments(), QStringList{"Beta"});
        EXPECT_EQ(Items(dialog.LBAsses), QStringList{"Beta"});
        EXPECT_EQ(dialog.LBContents->count(), 0);
        EXPECT_FALSE(dialog.BDelete->isEnabled());
        EXPECT_FALSE(dialog.BOK->isEnabled());
        Select(dialog.LBAsses, "Beta");
        boxes.answers = {maYes};
        dialog.BDeleteClick();
        EXPECT_EQ(dialog.LBAsses->count(), 0);
        EXPECT_FALSE(dialog.BDelete->isEnabled());
    }
    f.Set().AssignFile(*led, MakeBmp(dir, "led.bmp", 109, 16));
    f.Set().SaveAssignment("Alpha");
    f.Set().DetachAll();
    EXPECT_FALSE(led->isAssigned());
    WhenShown<TAssForm>([](TAssForm *d) {
        Select(d->LBAsses, "Alpha");
        d->BOKClick();
    });
    f.OpenAssignment1->trigger();
    EXPECT_TRUE(led->isAssigned());
    EXPECT_EQ(f.windowTitle(), QString(ProgramTitle) + " - Alpha");
    // The placement is kept for the next opening.
    EXPECT_TRUE(f.Config().ValueExists(TAssForm::Section, "Width"));
}

TEST_F(AssFormTest, AskToSaveAnswers)
{
    TModwrightForm &f = startWithAlpha();
    EXPECT_TRUE(f.AskToSave()); // unmodified: no question
    EXPECT_TRUE(boxes.shown.isEmpty());
    f.Set().AssignFile(*led, MakeBmp(dir, "led.bmp", 109, 16));
    boxes.answers = {maCancel};
    EXPECT_FALSE(f.AskToSave());
    EXPECT_EQ(boxes.shown.last(), SaveQuestion);
    boxes.answers = {maNo};
    EXPECT_TRUE(f.AskToSave());
    EXPECT_TRUE(f.Set().modified);

    // Yes, then cancelling the save dialog: nothing may replace the work.
    boxes.answers = {maYes};
    WhenShown<TAssForm>([](TAssForm *d) { d->reject(); });
    EXPECT_FALSE(f.AskToSave());
    boxes.answers = {maYes};
    WhenShown<TAssForm>([](TAssForm *d) {
        d->EName->setText("Kept");
        d->BOKClick();
    });
    EXPECT_TRUE(f.AskToSave());
    EXPECT_TRUE(f.Set().ListAssignments().contains("Kept"));
    EXPECT_FALSE(f.Set().modified);
}

TEST_F(AssFormTest, NewQuestionStartsOnStandard)
{
    TNewAssForm dialog;
    EXPECT_EQ(dialog.windowTitle(), "New assignment");
    EXPECT_TRUE(dialog.RBStandard->isChecked());
    EXPECT_EQ(dialog.Answer(), nacStandard);
    dialog.RBClear->setChecked(true);
    EXPECT_EQ(dialog.Answer(), nacClear);
    dialog.RBDemo->setChecked(true);
    EXPECT_EQ(dialog.Answer(), nacDemo);
    EXPECT_EQ(dialog.RBDemo->text().remove('&'), "Start with the demo mod");
}

TEST_F(AssFormTest, NewClearsOrLoadsTheStandardSet)
{
    TModwrightForm &f = startWithAlpha();
    f.Set().LoadAssignment("Alpha", false, false);
    f.Set().texts.ModName = "Old";
    f.Set().modified = true;

    // Cancel at the save question leaves everything.
    boxes.answers = {maCancel};
    f.New1->trigger();
    EXPECT_TRUE(led->isAssigned());
    EXPECT_EQ(f.Set().texts.ModName, "Old");

    // Cancel at the new-mod question too.
    boxes.answers = {maNo};
    WhenShown<TNewAssForm>([](TNewAssForm *d) { d->reject(); });
    f.New1->trigger();
    EXPECT_TRUE(led->isAssigned());

    boxes.answers = {maNo};
    WhenShown<TNewAssForm>([](TNewAssForm *d) {
        d->RBClear->setChecked(true);
        d->BOKClick();
    });
    f.BNew->trigger();
    EXPECT_FALSE(led->isAssigned());
    EXPECT_TRUE(f.Set().texts.ModName.isEmpty());
    EXPECT_FALSE(f.Set().modified);
    EXPECT_EQ(f.windowTitle(), QString(ProgramTitle));

    // No standard folder beside ModPacker: said so, nothing loaded.
    WhenShown<TNewAssForm>([](TNewAssForm *d) { d->BOKClick(); });
    f.New1->trigger();
    EXPECT_TRUE(boxes.shown.last().startsWith("error: ReBirth's standard assignment could not be found"));
    EXPECT_FALSE(led->isAssigned());

    // ReBirth's standard components: imported under their ModPacker names, unnamed and unmodified.
    const QString packer = dir.createDir("packer");
    f.Settings.ModPackerPath = packer + "/ModPacker.exe";
    QDir().mkpath(packer + "/Standard Components");
    QImage image(109, 16, QImage::Format_RGB888);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(packer + "/Standard Components/12015.jpg", "JPEG"));
    WhenShown<TNewAssForm>([](TNewAssForm *d) { d->BOKClick(); });
    f.New1->trigger();
    EXPECT_TRUE(led->isAssigned());
    EXPECT_EQ(f.Set().name, TAssignmentSet::NoName);
    EXPECT_FALSE(f.Set().modified);
}

TEST_F(AssFormTest, ImportOffersToSaveFirst)
{
    TModwrightForm &f = startWithAlpha();
    EXPECT_TRUE(f.ImportMod1->isEnabled());
    f.Set().AssignFile(*led, MakeBmp(dir, "led.bmp", 109, 16));
    boxes.answers = {maCancel};
    f.ImportMod1->trigger();
    EXPECT_TRUE(boxes.shown.contains(SaveQuestion));
    EXPECT_TRUE(led->isAssigned());
    EXPECT_TRUE(f.Set().modified);
}
