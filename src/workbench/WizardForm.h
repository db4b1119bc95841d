#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class TModwrightForm;

// "Wrightaid!": the welcome window with a five-step introduction and a check of
// the installation (ModPacker, ReBirth, a sound card). Not modal and on top of
// the other windows; it frees itself when closed.
class TWizardForm : public QDialog {
    Q_OBJECT

public:
    explicit TWizardForm(TModwrightForm &form);

    // Brings the open wizard forward or makes and shows one.
    static TWizardForm *ShowWizard(TModwrightForm &form);
    // The open wizard of the main window, if any.
    static TWizardForm *Current(TModwrightForm &form);

    // The page names, in order.
    static const QStringList &PageNames();
    QString PageName() const;
    void SetPage(int index);

    // Sets the three check boxes from the installation and the two "Set..."
    // buttons from the boxes.
    void CheckInstallation();

    void BFirstStepsClick();
    void BNextClick();
    void BPreviousClick();
    void BCloseClick();
    void BOpenClick();
    void Button1Click(); // "Start with a new Mod !"
    void BDemoClick();   // "Start with the demo mod"
    void BSetClick();

    QStackedWidget *NBPages = nullptr;
    QPushButton *BFirstSteps = nullptr, *BClose = nullptr, *BOpen = nullptr, *Button1 = nullptr,
                *BDemo = nullptr;
    QPlainTextEdit *MText1 = nullptr, *MText3 = nullptr, *MText4 = nullptr, *MText5 = nullptr;
    QCheckBox *CBModPacker = nullptr, *CBReBirth = nullptr, *CBSoundcard = nullptr;
    QPushButton *BSetMP = nullptr, *BSetRB = nullptr;
    QCheckBox *CBShow = nullptr;
    QPushButton *BPrevious = nullptr, *BNext = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createLayout();
    QWidget *createWelcomePage();
    QWidget *createTextPage(const QString &title, QPlainTextEdit *&text);
    QWidget *createCheckPage();
    void FormCreate();
    void pageChanged();

    TModwrightForm &form_;
    bool centred_ = false;
};

// The texts of the four introduction pages.
QString WizardText(int step);
