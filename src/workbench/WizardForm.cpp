#include "workbench/WizardForm.h"

#include "audio/WavePlayer.h"
#include "controls/PlacementStore.h"
#include "workbench/ModwrightForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

QLabel *Title(QWidget *parent, const QString &text)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    label->setFont(font);
    label->setWordWrap(true);
    return label;
}

QPushButton *Button(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

const QStringList &TWizardForm::PageNames()
{
    static const QStringList names{"Welcome", "Step1", "step2", "Step3", "Step4", "Step5"};
    return names;
}

TWizardForm::TWizardForm(TModwrightForm &form)
    : QDialog(&form, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint), form_(form)
{
    setObjectName("WizardForm");
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle("Wrightaid!");
    createLayout();
    FormCreate();
}

TWizardForm *TWizardForm::Current(TModwrightForm &form)
{
    return form.findChild<TWizardForm *>(QString(), Qt::FindDirectChildrenOnly);
}

TWizardForm *TWizardForm::ShowWizard(TModwrightForm &form)
{
    TWizardForm *wizard = Current(form);
    if (!wizard)
        wizard = new TWizardForm(form);
    wizard->show();
    wizard->raise();
    wizard->activateWindow();
    return wizard;
}

void TWizardForm::createLayout()
{
    NBPages = new QStackedWidget(this);
    NBPages->setObjectName("NBPages");
    NBPages->addWidget(createWelcomePage());
    NBPages->addWidget(createTextPage("Step 1 : What is Modwright ?", MText1));
    NBPages->addWidget(createCheckPage());
    NBPages->addWidget(createTextPage("Step 3 : Modwright's window", MText3));
    NBPages->addWidget(createTextPage("Step 4 : Using Modwright", MText4));
    NBPages->addWidget(createTextPage("Step 5 : Get productive !", MText5));
    for (int i = 0; i < NBPages->count(); ++i)
        NBPages->widget(i)->setObjectName(PageNames()[i]);
    MText1->setObjectName("MText1");
    MText3->setObjectName("MText3");
    MText4->setObjectName("MText4");
    MText5->setObjectName("MText5");

    CBShow = new QCheckBox("Show this at start-up", this);
    CBShow->setObjectName("CBShow");
    BPrevious = Button(this, "BPrevious", "&Previous");
    BNext = Button(this, "BNext", "&Next");
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(CBShow);
    bottom->addStretch(1);
    bottom->addWidget(BPrevious);
    bottom->addWidget(BNext);

    auto *layout = new QVBoxLayout(this);
    // The window ends 7 pixels below whatever the bottom row shows.
    layout->setContentsMargins(11, 11, 11, 7);
    layout->addWidget(NBPages);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget *TWizardForm::createWelcomePage()
{
    auto *page = new QWidget;
    BFirstSteps = Button(page, "BFirstSteps", "Do first steps with Modwright !");
    BClose = Button(page, "BClose", "Close this and start Wrighting !");
    BOpen = Button(page, "BOpen", "Open a previously saved assignment !");
    Button1 = Button(page, "Button1", "Start with a new Mod !");
    // Works without ModPacker and ReBirth: a first look at what a mod is.
    BDemo = Button(page, "BDemo", "Start with the demo mod");
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Title(page, "Welcome to Modwright for ReBirth 2 !"));
    layout->addSpacing(10);
    layout->addWidget(new QLabel("What do you want to do ?", page));
    for (QPushButton *button : {BFirstSteps, BClose, BOpen, Button1, BDemo}) {
        button->setMinimumHeight(32);
        layout->addWidget(button);
    }
    layout->addStretch(1);
    return page;
}

QWidget *TWizardForm::createTextPage(const QString &title, QPlainTextEdit *&text)
{
    auto *page = new QWidget;
    text = new QPlainTextEdit(page);
    text->setReadOnly(true);
    text->setMinimumSize(440, 250);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Title(page, title));
    layout->addWidget(text, 1);
    return page;
}

QWidget *TWizardForm::createCheckPage()
{
    auto *page = new QWidget;
    const auto box = [page](const char *name) {
        auto *check = new QCheckBox(page);
        check->setObjectName(name);
        return check;
    };
    CBModPacker = box("CBModPacker");
    CBReBirth = box("CBReBirth");
    CBSoundcard = box("CBSoundcard");
    BSetMP = Button(page, "BSetMP", "Set...");
    BSetRB = Button(page, "BSetRB", "Set...");
    auto *explanation = new QLabel(
        "Modwright needs two programs to do its work: ModPacker, which packs your images and drums into "
        "a mod, and ReBirth, in which you try the mod out. To hear your drums you need a sound card.\n\n"
        "A checked box means that the item was found. If Modwright did not find ModPacker or ReBirth "
        "where you installed them, tell it with \"Set...\".",
        page);
    explanation->setWordWrap(true);
    auto *grid = new QGridLayout;
    grid->addWidget(CBModPacker, 0, 0);
    grid->addWidget(new QLabel("ModPacker is installed", page), 0, 1);
    grid->addWidget(BSetMP, 0, 2);
    grid->addWidget(CBReBirth, 1, 0);
    grid->addWidget(new QLabel("ReBirth is installed", page), 1, 1);
    grid->addWidget(BSetRB, 1, 2);
    grid->addWidget(CBSoundcard, 2, 0);
    grid->addWidget(new QLabel("A sound card is installed", page), 2, 1);
    grid->setColumnStretch(1, 1);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Title(page, "Step 2 : Everything installed ?"));
    layout->addWidget(explanation);
    layout->addSpacing(10);
    layout->addLayout(grid);
    layout->addStretch(1);
    return page;
}

void TWizardForm::FormCreate()
{
    connect(BFirstSteps, &QPushButton::clicked, this, &TWizardForm::BFirstStepsClick);
    connect(BClose, &QPushButton::clicked, this, &TWizardForm::BCloseClick);
    connect(BOpen, &QPushButton::clicked, this, &TWizardForm::BOpenClick);
    connect(Button1, &QPushButton::clicked, this, &TWizardForm::Button1Click);
    connect(BDemo, &QPushButton::clicked, this, &TWizardForm::BDemoClick);
    connect(BNext, &QPushButton::clicked, this, &TWizardForm::BNextClick);
    connect(BPrevious, &QPushButton::clicked, this, &TWizardForm::BPreviousClick);
    connect(BSetMP, &QPushButton::clicked, this, &TWizardForm::BSetClick);
    connect(BSetRB, &QPushButton::clicked, this, &TWizardForm::BSetClick);
    // The boxes show what was found, not what was clicked.
    for (QCheckBox *box : {CBModPacker, CBReBirth, CBSoundcard})
        connect(box, &QCheckBox::clicked, this, &TWizardForm::CheckInstallation);
    connect(CBShow, &QCheckBox::toggled, this, [this](bool on) { form_.Settings.ShowWelcome = on; });

    CBShow->setChecked(form_.Settings.ShowWelcome);
    CheckInstallation();
    MText1->setPlainText(WizardText(1));
    MText3->setPlainText(WizardText(3));
    MText4->setPlainText(WizardText(4));
    MText5->setPlainText(WizardText(5));
    SetPage(0);
}

void TWizardForm::CheckInstallation()
{
    const auto exists = [](const QString &path) { return !path.isEmpty() && QFileInfo(path).isFile(); };
    CBModPacker->setChecked(exists(form_.Settings.ModPackerPath));
    CBReBirth->setChecked(exists(form_.Settings.ReBirthPath));
    CBSoundcard->setChecked(WavePlayerAvailable());
    BSetMP->setEnabled(!CBModPacker->isChecked());
    BSetRB->setEnabled(!CBReBirth->isChecked());
}

QString TWizardForm::PageName() const
{
    return PageNames().value(NBPages->currentIndex());
}

void TWizardForm::SetPage(int index)
{
    NBPages->setCurrentIndex(std::clamp(index, 0, int(NBPages->count()) - 1));
    pageChanged();
}

void TWizardForm::pageChanged()
{
    const bool welcome = NBPages->currentIndex() == 0;
    CBShow->setVisible(welcome);
    BPrevious->setVisible(!welcome);
    BNext->setVisible(!welcome);
    layout()->activate();
}

void TWizardForm::BFirstStepsClick()
{
    SetPage(1);
    BNext->setFocus();
}

void TWizardForm::BNextClick()
{
    if (PageName().compare("Step5", Qt::CaseInsensitive) == 0)
        SetPage(0);
    else
        SetPage(NBPages->currentIndex() + 1);
}

void TWizardForm::BPreviousClick()
{
    SetPage(NBPages->currentIndex() - 1);
}

void TWizardForm::BCloseClick()
{
    close();
}

void TWizardForm::BOpenClick()
{
    hide();
    form_.OpenAssignment1Click();
    close();
}

void TWizardForm::Button1Click()
{
    hide();
    form_.New1Click();
    close();
}

void TWizardForm::BDemoClick()
{
    hide();
    form_.StartWithDemo1Click();
    close();
}

void TWizardForm::BSetClick()
{
    form_.ShowSettings(1);
    // The paths may have been set meanwhile.
    CheckInstallation();
}

void TWizardForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (centred_)
        return;
    centred_ = true;
    const QScreen *screen = form_.screen() ? form_.screen() : QApplication::primaryScreen();
    const TWorkArea area =
        TWorkArea::fromRect(screen ? screen->availableGeometry() : QRect(0, 0, 1280, 1024));
    move(CentreOn(form_.frameGeometry(), frameGeometry().size(), area).topLeft());
}

void TWizardForm::closeEvent(QCloseEvent *event)
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    QDialog::closeEvent(event);
}
