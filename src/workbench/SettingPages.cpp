// The settings dialog's pages and controls.

#include "workbench/AccelSpinBox.h"
#include "workbench/SettingForm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

template <class T> T *Named(T *widget, const char *name)
{
    widget->setObjectName(name);
    return widget;
}

QCheckBox *Check(QWidget *parent, const char *name, const QString &caption)
{
    return Named(new QCheckBox(caption, parent), name);
}

QPushButton *Button(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = Named(new QPushButton(caption, parent), name);
    button->setAutoDefault(false);
    return button;
}

QLineEdit *Edit(QWidget *parent, const char *name)
{
    auto *edit = Named(new QLineEdit(parent), name);
    edit->setMinimumWidth(220);
    return edit;
}

QLabel *Text(QWidget *parent, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

// A group of widgets one below the other.
QGroupBox *Group(QWidget *parent, const QString &title, const QList<QWidget *> &widgets)
{
    auto *group = new QGroupBox(title, parent);
    auto *layout = new QVBoxLayout(group);
    for (QWidget *widget : widgets) {
        widget->setParent(group);
        layout->addWidget(widget);
    }
    layout->addStretch(1);
    return group;
}

// A line edit with its buttons on one row.
QHBoxLayout *Row(const QList<QWidget *> &widgets)
{
    auto *row = new QHBoxLayout;
    for (QWidget *widget : widgets)
        row->addWidget(widget, widget == widgets.front() ? 1 : 0);
    return row;
}

// Two radio buttons that exclude each other and nothing else.
void Pair(QRadioButton *first, QRadioButton *second)
{
    auto *group = new QButtonGroup(first->parent());
    group->addButton(first);
    group->addButton(second);
}

} // namespace

void TSettingForm::createLayout()
{
    PageControl = Named(new QTabWidget(this), "PageControl");
    PageControl->addTab(TSGeneral = createGeneralPage(), "General");
    PageControl->addTab(TSImages = createImagesPage(), "Images");
    PageControl->addTab(TSDrums = createDrumsPage(), "Drums");
    PageControl->addTab(TSEditors = createEditorsPage(), "Editors");
    PageControl->addTab(TSReBirthPaths = createPathsPage(), "ReBirth paths");

    BOK = Named(new QPushButton("OK", this), "BOK");
    BOK->setDefault(true);
    BCancel = Button(this, "BCancel", "Cancel");
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BOK);
    buttons->addWidget(BCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl, 1);
    layout->addLayout(buttons);
}

QWidget *TSettingForm::createGeneralPage()
{
    auto *page = Named(new QWidget, "TSGeneral");
    ETemp = Edit(page, "ETemp");
    BBrowseTemp = Button(page, "BBrowseTemp", "Browse...");
    BDefaultTemp = Button(page, "BDefaultTemp", "Default");
    EAssFileName = Edit(page, "EAssFileName");
    Button2 = Button(page, "Button2", "Browse...");
    BAssDefault = Button(page, "BAssDefault", "Default");
    CBShowToolbar = Check(page, "CBShowToolbar", "Show toolbar");
    CBShowLabels = Check(page, "CBShowLabels", "Show labels");
    CBShowWelcome = Check(page, "CBShowWelcome", "Show welcome dialog");
    CBAutoOpen = Check(page, "CBAutoOpen", "Open last assignment");
    CBWarnings = Check(page, "CBWarnings", "Warnings");
    CBInfos = Check(page, "CBInfos", "Information");

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(Text(page, "Temporary files directory (should have at least 5MB free disk space)"));
    layout->addLayout(Row({ETemp, BBrowseTemp, BDefaultTemp}));
    layout->addSpacing(8);
    layout->addWidget(Text(page, "File to store the assignments. "));
    layout->addLayout(Row({EAssFileName, Button2, BAssDefault}));
    layout->addSpacing(8);
    auto *groups = new QHBoxLayout;
    groups->addWidget(Group(page, "Toolbar", {CBShowToolbar, CBShowLabels}));
    groups->addWidget(Group(page, "On start up", {CBShowWelcome, CBAutoOpen}));
    groups->addWidget(Group(page, "Show which messages ?", {CBWarnings, CBInfos}));
    layout->addLayout(groups);
    layout->addStretch(1);
    return page;
}

QWidget *TSettingForm::createImagesPage()
{
    auto *page = Named(new QWidget, "TSImages");
    const QString show = "Show Image in ImageViewer";
    const QString viewer = "Show ImageViewer (if not visible)";
    const QString browse = "Browse to directory of assigned file";
    const QString editor = "Run editor (see page Editors)";
    CBResImgClickShow = Check(page, "CBResImgClickShow", show);
    CBResImgClickShowImgViewer = Check(page, "CBResImgClickShowImgViewer", viewer);
    CBFileImgClickShow = Check(page, "CBFileImgClickShow", show);
    CBFileImgClickShowImgViewer = Check(page, "CBFileImgClickShowImgViewer", viewer);
    CBResImgDblShow = Check(page, "CBResImgDblShow", show);
    CBResImgDblShowImgViewer = Check(page, "CBResImgDblShowImgViewer", viewer);
    CBResImgDblBrowse = Check(page, "CBResImgDblBrowse", browse);
    CBResImgRunEditor = Check(page, "CBResImgRunEditor", editor);
    CBFileImgDblShow = Check(page, "CBFileImgDblShow", show);
    CBFileImgDblShowImgViewer = Check(page, "CBFileImgDblShowImgViewer", viewer);
    CBFileImgRunEditor = Check(page, "CBFileImgRunEditor", editor);
    CBFileImgRunDef = Check(page, "CBFileImgRunDef", "Run windows Default application");
    RBImgOtherExt = Named(new QRadioButton("Save as BMP", page), "RBImgOtherExt");
    RBImgRealExt = Named(new QRadioButton("Save as JPG", page), "RBImgRealExt");
    RBImgVirtName =
        Named(new QRadioButton("Save with virtual name (e.g. \"303 Panel\")", page), "RBImgVirtName");
    RBImgRealName = Named(new QRadioButton("Save with mod name (e.g. \"12500\")", page), "RBImgRealName");
    Pair(RBImgOtherExt, RBImgRealExt);
    Pair(RBImgVirtName, RBImgRealName);
    EJPegCompressionRatio = Named(new TAccelSpinBox(page), "EJPegCompressionRatio");
    EJPegCompressionRatio->setRange(1, 100);
    EJPegCompressionRatio->setMaximumWidth(80);
    auto *quality =
        Text(page, "The compression ratio sets the quality of your images in the created mod. 1 is "
                   "worst quality and 100 best quality - using more memory. Standard is 98.");

    auto *saving = Group(page, "Saving assigned images to disk", {RBImgOtherExt, RBImgRealExt});
    static_cast<QVBoxLayout *>(saving->layout())->insertSpacing(2, 6);
    static_cast<QVBoxLayout *>(saving->layout())->insertWidget(3, RBImgVirtName);
    static_cast<QVBoxLayout *>(saving->layout())->insertWidget(4, RBImgRealName);
    auto *grid = new QGridLayout(page);
    grid->addWidget(Group(page, "Single click on mod images (left list)",
                          {CBResImgClickShow, CBResImgClickShowImgViewer}),
                    0, 0);
    grid->addWidget(Group(page, "Single click on image files (right list)",
                          {CBFileImgClickShow, CBFileImgClickShowImgViewer}),
                    0, 1);
    grid->addWidget(Group(page, "Double click on mod image (left list)",
                          {CBResImgDblShow, CBResImgDblShowImgViewer, CBResImgDblBrowse, CBResImgRunEditor}),
                    1, 0);
    grid->addWidget(Group(page, "Double click on image files (right list)",
                          {CBFileImgDblShow, CBFileImgDblShowImgViewer, CBFileImgRunEditor, CBFileImgRunDef}),
                    1, 1);
    grid->addWidget(saving, 2, 0);
    grid->addWidget(Group(page, "JPG Compression ratio", {EJPegCompressionRatio, quality}), 2, 1);
    grid->setRowStretch(3, 1);
    return page;
}

QWidget *TSettingForm::createDrumsPage()
{
    auto *page = Named(new QWidget, "TSDrums");
    const QString play = "Play Drum";
    const QString editor = "Run editor (see page Editors)";
    CBResDrumClickShow = Check(page, "CBResDrumClickShow", play);
    CBFileDrumClickShow = Check(page, "CBFileDrumClickShow", play);
    CBResDrumDblShow = Check(page, "CBResDrumDblShow", play);
    CBResDrumDblBrowse = Check(page, "CBResDrumDblBrowse", "Browse to directory of assigned file");
    CBResDrumRunEditor = Check(page, "CBResDrumRunEditor", editor);
    CBFileDrumDblShow = Check(page, "CBFileDrumDblShow", play);
    CBFileDrumRunEditor = Check(page, "CBFileDrumRunEditor", editor);
    CBFileDrumRunDef = Check(page, "CBFileDrumRunDef", "Run windows Default application");
    RBDrumOtherExt = Named(new QRadioButton("Save as WAV", page), "RBDrumOtherExt");
    RBDrumRealExt = Named(new QRadioButton("Save as AIFF", page), "RBDrumRealExt");
    RBDrumVirtName =
        Named(new QRadioButton("Save with virtual name (e.g. \"808 Bassdrum\")", page), "RBDrumVirtName");
    RBDrumRealName = Named(new QRadioButton("Save with mod name (e.g. \"TR808BD\"", page), "RBDrumRealName");
    Pair(RBDrumOtherExt, RBDrumRealExt);
    Pair(RBDrumVirtName, RBDrumRealName);
    CBWaveOut = Named(new QComboBox(page), "CBWaveOut");
    CBWaveOut->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    CBWaveOut->setMinimumContentsLength(24);
    CBShowDrumFormat = Check(page, "CBShowDrumFormat", "Show drum format (KHz, mono, etc.)");

    auto *saving = Group(page, "Saving assigned drums to disk (doesn't affect mod creation)",
                         {RBDrumOtherExt, RBDrumRealExt});
    static_cast<QVBoxLayout *>(saving->layout())->insertSpacing(2, 6);
    static_cast<QVBoxLayout *>(saving->layout())->insertWidget(3, RBDrumVirtName);
    static_cast<QVBoxLayout *>(saving->layout())->insertWidget(4, RBDrumRealName);
    auto *grid = new QGridLayout(page);
    grid->addWidget(Group(page, "Single click on mod drums (left list)", {CBResDrumClickShow}), 0, 0);
    grid->addWidget(Group(page, "Single click on drum files (right list)", {CBFileDrumClickShow}), 0, 1);
    grid->addWidget(Group(page, "Double click on mod drums (left list)",
                          {CBResDrumDblShow, CBResDrumDblBrowse, CBResDrumRunEditor}),
                    1, 0);
    grid->addWidget(Group(page, "Double click on mod files (right list)",
                          {CBFileDrumDblShow, CBFileDrumRunEditor, CBFileDrumRunDef}),
                    1, 1);
    grid->addWidget(saving, 2, 0, 2, 1);
    grid->addWidget(Group(page, "Wave ouput device", {CBWaveOut}), 2, 1);
    grid->addWidget(Group(page, "List display", {CBShowDrumFormat}), 3, 1);
    grid->setRowStretch(4, 1);
    return page;
}

QWidget *TSettingForm::createEditorsPage()
{
    auto *page = Named(new QWidget, "TSEditors");
    CBActiveImg = Check(page, "CBActiveImg", "Image Editor");
    EImgEditor = Edit(page, "EImgEditor");
    BBrowseImg = Button(page, "BBrowseImg", "Browse...");
    EImgEditorName = Edit(page, "EImgEditorName");
    CBActiveDrum = Check(page, "CBActiveDrum", "Drum sample editor");
    EDrumEditor = Edit(page, "EDrumEditor");
    BBrowseDrum = Button(page, "BBrowseDrum", "Browse...");
    EDrumEditorName = Edit(page, "EDrumEditorName");

    const auto editorGroup = [page](QCheckBox *active, QLineEdit *path, QPushButton *browse,
                                    QLineEdit *name) {
        auto *group = new QGroupBox(page);
        auto *grid = new QGridLayout(group);
        grid->addWidget(active, 0, 0, 1, 3);
        grid->addWidget(new QLabel("Program path", group), 1, 0);
        grid->addWidget(path, 1, 1);
        grid->addWidget(browse, 1, 2);
        grid->addWidget(new QLabel("Name", group), 2, 0);
        grid->addWidget(name, 2, 1);
        grid->setColumnStretch(1, 1);
        return group;
    };
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(Text(page, "An editor is the program you change your images or drum samples with, "
                                 "for example a paint program such as GIMP or a sample editor such as "
                                 "Audacity."));
    layout->addWidget(Text(page, "The editor runs when you double click an image or a drum, if you have "
                                 "chosen so on the pages Images and Drums, or from the pop-up menu of the "
                                 "file lists."));
    layout->addWidget(editorGroup(CBActiveImg, EImgEditor, BBrowseImg, EImgEditorName));
    layout->addWidget(editorGroup(CBActiveDrum, EDrumEditor, BBrowseDrum, EDrumEditorName));
    layout->addStretch(1);
    return page;
}

QWidget *TSettingForm::createPathsPage()
{
    auto *page = Named(new QWidget, "TSReBirthPaths");
    EModPacker = Edit(page, "EModPacker");
    BBrowseModPacker = Button(page, "BBrowseModPacker", "Browse...");
    BDefaultModPacker = Button(page, "BDefaultModPacker", "Default");
    EReBirth = Edit(page, "EReBirth");
    Button1 = Button(page, "Button1", "Browse...");
    BDefaultReBirth = Button(page, "BDefaultReBirth", "Default");

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(Text(page, "Sometimes Modwright doesn't find automatically where you have installed "
                                 "ModPacker and ReBirth."));
    layout->addWidget(Text(page,
                           "Here you can enter manually where you have installed ModPacker and ReBirth. "
                           "It must be the fully qualified path to ModPacker.exe and ReBirth.exe."));
    layout->addSpacing(8);
    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel("ModPacker", page), 0, 0);
    grid->addWidget(EModPacker, 0, 1);
    grid->addWidget(BBrowseModPacker, 0, 2);
    grid->addWidget(BDefaultModPacker, 0, 3);
    grid->addWidget(new QLabel("ReBirth", page), 1, 0);
    grid->addWidget(EReBirth, 1, 1);
    grid->addWidget(Button1, 1, 2);
    grid->addWidget(BDefaultReBirth, 1, 3);
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    layout->addStretch(1);
    return page;
}
