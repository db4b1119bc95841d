#pragma once

#include "workbench/AskForEditor.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class TAccelSpinBox;
class TModwrightForm;
class TPathDialog;

// "Settings": the main window's settings on five pages (general, images,
// drums, editors, the paths of ReBirth and ModPacker). The controls are filled
// when the dialog is shown; OK applies them to the main window in a fixed order
// and stays open, with the reason in an error box, when a step fails (the
// steps before it are kept). Cancel applies nothing.
class TSettingForm : public QDialog {
    Q_OBJECT

public:
    // The pages ShowSettings opens.
    enum TPage { spGeneral = 0, spReBirthPaths = 1 };

    explicit TSettingForm(TModwrightForm &form);
    ~TSettingForm() override;

    // Uses the open dialog or makes one, turns to the page and runs it modally;
    // a made dialog frees itself on closing. True when it closed with OK.
    static bool ShowSettings(TModwrightForm &form, int page);
    void SelectPage(int page);

    // Fills every control from the main window's settings (after reading the
    // editor values from the store again); showing the dialog does it once.
    void FormShow();

    // Choosers, replaced by scripted runs. Each returns "" when cancelled.
    TPickProgram pickProgram;
    // The save dialog of the assignment file: (folder, file name).
    std::function<QString(const QString &, const QString &)> pickAssignmentFile;
    // Runs the folder picker; true when a folder was chosen.
    std::function<bool(TPathDialog &)> pickFolder;

    // Handlers.
    void BOKClick();
    void BBrowseClick(int tag); // 1 image editor, 2 drum editor, 3 ModPacker, 4 ReBirth
    void BBrowseTempClick();
    void BDefaultTempClick();
    void Button2Click();
    void BAssDefaultClick();
    void BDefaultModPackerClick();
    void BDefaultReBirthClick();
    void CBActiveClick();

    QTabWidget *PageControl = nullptr;
    QWidget *TSGeneral = nullptr, *TSImages = nullptr, *TSDrums = nullptr, *TSEditors = nullptr,
            *TSReBirthPaths = nullptr;

    // "General".
    QLineEdit *ETemp = nullptr, *EAssFileName = nullptr;
    QPushButton *BBrowseTemp = nullptr, *BDefaultTemp = nullptr, *Button2 = nullptr, *BAssDefault = nullptr;
    QCheckBox *CBShowToolbar = nullptr, *CBShowLabels = nullptr, *CBShowWelcome = nullptr,
              *CBAutoOpen = nullptr, *CBWarnings = nullptr, *CBInfos = nullptr;

    // "Images".
    QCheckBox *CBResImgClickShow = nullptr, *CBResImgClickShowImgViewer = nullptr;
    QCheckBox *CBFileImgClickShow = nullptr, *CBFileImgClickShowImgViewer = nullptr;
    QCheckBox *CBResImgDblShow = nullptr, *CBResImgDblShowImgViewer = nullptr, *CBResImgDblBrowse = nullptr,
              *CBResImgRunEditor = nullptr;
    QCheckBox *CBFileImgDblShow = nullptr, *CBFileImgDblShowImgViewer = nullptr,
              *CBFileImgRunEditor = nullptr, *CBFileImgRunDef = nullptr;
    QRadioButton *RBImgOtherExt = nullptr, *RBImgRealExt = nullptr, *RBImgVirtName = nullptr,
                 *RBImgRealName = nullptr;
    TAccelSpinBox *EJPegCompressionRatio = nullptr; // the field with its up-down arrows

    // "Drums".
    QCheckBox *CBResDrumClickShow = nullptr, *CBFileDrumClickShow = nullptr;
    QCheckBox *CBResDrumDblShow = nullptr, *CBResDrumDblBrowse = nullptr, *CBResDrumRunEditor = nullptr;
    QCheckBox *CBFileDrumDblShow = nullptr, *CBFileDrumRunEditor = nullptr, *CBFileDrumRunDef = nullptr;
    QRadioButton *RBDrumOtherExt = nullptr, *RBDrumRealExt = nullptr, *RBDrumVirtName = nullptr,
                 *RBDrumRealName = nullptr;
    QComboBox *CBWaveOut = nullptr; // entries carry their device number, -1 the default output
    QCheckBox *CBShowDrumFormat = nullptr;

    // "Editors".
    QCheckBox *CBActiveImg = nullptr, *CBActiveDrum = nullptr;
    QLineEdit *EImgEditor = nullptr, *EImgEditorName = nullptr, *EDrumEditor = nullptr,
              *EDrumEditorName = nullptr;
    QPushButton *BBrowseImg = nullptr, *BBrowseDrum = nullptr;

    // "ReBirth paths".
    QLineEdit *EModPacker = nullptr, *EReBirth = nullptr;
    QPushButton *BBrowseModPacker = nullptr, *BDefaultModPacker = nullptr, *Button1 = nullptr,
                *BDefaultReBirth = nullptr;

    QPushButton *BOK = nullptr, *BCancel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Layout (SettingPages.cpp).
    void createLayout();
    QWidget *createGeneralPage();
    QWidget *createImagesPage();
    QWidget *createDrumsPage();
    QWidget *createEditorsPage();
    QWidget *createPathsPage();

    void FormCreate();
    void FillWaveOut();
    void applyImagePage();
    void applyDrumPage();
    void applyWaveOut();
    void applyEditors();
    void applyAssignmentFile();

    TModwrightForm &form_;
    bool filled_ = false;
};

// The name an editor goes by: its program's file name cut before the first dot
// ("PSP.EXE" gives "PSP"); either kind of separator ends the folder part.
QString EditorNameOfPath(const QString &path);
