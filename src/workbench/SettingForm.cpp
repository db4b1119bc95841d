#include "workbench/SettingForm.h"

#include "audio/WavePlayer.h"
#include "common/MessageBoxes.h"
#include "common/PathUtils.h"
#include "controls/PathDialog.h"
#include "modbuild/ExternalPrograms.h"
#include "model/AssignmentSet.h"
#include "platform/Exception.h"
#include "platform/RegIniFile.h"
#include "platform/WaveOut.h"
#include "workbench/AccelSpinBox.h"
#include "workbench/ModwrightForm.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

namespace {

const char *const WriteProtected = "This directory is write protected or there is no space left.\r\n"
                                   "Please specify another directory.";

QString DefaultPickAssignmentFile(QWidget *parent, const QString &folder, const QString &file)
{
    QFileDialog dialog(parent, QString(), folder, "Assignment files (*.ini);;All files (*)");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("ini");
    if (!file.isEmpty())
        dialog.selectFile(file);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

// Where a typed or stored path starts a dialog: its folder and file name.
void SplitPath(const QString &path, QString &folder, QString &file)
{
    folder.clear();
    file.clear();
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    folder = info.absolutePath();
    file = info.fileName();
}

} // namespace

QString EditorNameOfPath(const QString &path)
{
    const qsizetype cut = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
    return StripExtension(path.mid(cut + 1));
}

TSettingForm::TSettingForm(TModwrightForm &form) : QDialog(&form), form_(form)
{
    setObjectName("SettingForm");
    pickProgram = PickProgramWithDialog;
    pickAssignmentFile = [this](const QString &folder, const QString &file) {
        return DefaultPickAssignmentFile(this, folder, file);
    };
    pickFolder = [](TPathDialog &dialog) { return dialog.Execute(); };
    createLayout();
    FormCreate();
}

TSettingForm::~TSettingForm() = default;

bool TSettingForm::ShowSettings(TModwrightForm &form, int page)
{
    TSettingForm *dialog = form.findChild<TSettingForm *>(QString(), Qt::FindDirectChildrenOnly);
    if (!dialog) {
        dialog = new TSettingForm(form);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
    }
    dialog->SelectPage(page);
    return dialog->exec() == QDialog::Accepted;
}

void TSettingForm::SelectPage(int page)
{
    PageControl->setCurrentWidget(page == spReBirthPaths ? TSReBirthPaths : TSGeneral);
}

void TSettingForm::FormCreate()
{
    setWindowTitle(QString("Settings ") + ProgramTitle);
    FillWaveOut();

    connect(BOK, &QPushButton::clicked, this, &TSettingForm::BOKClick);
    connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BBrowseTemp, &QPushButton::clicked, this, &TSettingForm::BBrowseTempClick);
    connect(BDefaultTemp, &QPushButton::clicked, this, &TSettingForm::BDefaultTempClick);
    connect(Button2, &QPushButton::clicked, this, &TSettingForm::Button2Click);
    connect(BAssDefault, &QPushButton::clicked, this, &TSettingForm::BAssDefaultClick);
    connect(BDefaultModPacker, &QPushButton::clicked, this, &TSettingForm::BDefaultModPackerClick);
    connect(BDefaultReBirth, &QPushButton::clicked, this, &TSettingForm::BDefaultReBirthClick);
    const QList<QPushButton *> browse{BBrowseImg, BBrowseDrum, BBrowseModPacker, Button1};
    for (int tag = 1; tag <= 4; ++tag)
        connect(browse[tag - 1], &QPushButton::clicked, this, [this, tag] { BBrowseClick(tag); });
    connect(CBActiveImg, &QCheckBox::clicked, this, &TSettingForm::CBActiveClick);
    connect(CBActiveDrum, &QCheckBox::clicked, this, &TSettingForm::CBActiveClick);
    connect(EImgEditor, &QLineEdit::textChanged, this,
            [this](const QString &path) { EImgEditorName->setText(EditorNameOfPath(path)); });
    connect(EDrumEditor, &QLineEdit::textChanged, this,
            [this](const QString &path) { EDrumEditorName->setText(EditorNameOfPath(path)); });
}

void TSettingForm::FillWaveOut()
{
    CBWaveOut->clear();
    const uint32_t count = waveOutGetNumDevs();
    if (count == 0) {
        CBWaveOut->setEnabled(false);
        return;
    }
    // The default output first, then every device; one that does not answer
    // is left out. Reading the capabilities leaves the player's device alone.
    for (int64_t id = -1; id < int64_t(count); ++id) {
        WAVEOUTCAPS caps;
        if (waveOutGetDevCaps(id < 0 ? WAVE_MAPPER : uint32_t(id), &caps, sizeof caps) != MMSYSERR_NOERROR)
            continue;
        // With one device (or a default that falls back to a device) the default and the
        // device are the same name; offer it once.
        const QString name = QString::fromUtf8(caps.szPname);
        if (CBWaveOut->findText(name, Qt::MatchFixedString) < 0)
            CBWaveOut->addItem(name, int(id));
    }
    CBWaveOut->setEnabled(CBWaveOut->count() > 0);
}

void TSettingForm::showEvent(QShowEvent *event)
{
    if (!filled_)
        FormShow();
    QDialog::showEvent(event);
}

void TSettingForm::FormShow()
{
    filled_ = true;
    TMainSettings &s = form_.Settings;
    try {
        // The context-menu library and the ask-for-editor start may have changed them.
        s.LoadEditors(form_.Config());
    } catch (const std::exception &e) {
        ShowError("LoadEditorSettings: " + QString::fromUtf8(e.what()));
    }

    ETemp->setText(ExcludeTrailingPathDelimiter(s.TempDir));
    EAssFileName->setText(s.AssFilename);
    CBShowToolbar->setChecked(s.ShowToolbar);
    CBShowLabels->setChecked(s.TextLabels);
    CBShowWelcome->setChecked(s.ShowWelcome);
    CBAutoOpen->setChecked(s.AutoLoad);
    CBWarnings->setChecked(s.ShowWarnings);
    CBInfos->setChecked(s.ShowInfos);

    CBResImgClickShow->setChecked(s.ModClickShow[0]);
    CBResImgClickShowImgViewer->setChecked(s.ModClickShowImageViewer);
    CBFileImgClickShow->setChecked(s.FileClickShow[0]);
    CBFileImgClickShowImgViewer->setChecked(s.FileClickShowImageViewer);
    CBResImgDblShow->setChecked(s.ModDblShow[0]);
    CBResImgDblShowImgViewer->setChecked(s.ModDblShowImageViewer);
    CBResImgDblBrowse->setChecked(s.ModDblBrowse[0]);
    CBResImgRunEditor->setChecked(s.ModRunEditor[0]);
    CBFileImgDblShow->setChecked(s.FileDblShow[0]);
    CBFileImgDblShowImgViewer->setChecked(s.FileDblShowImageViewer);
    CBFileImgRunEditor->setChecked(s.FileRunEditor[0]);
    CBFileImgRunDef->setChecked(s.FileRunDef[0]);
    RBImgOtherExt->setChecked(s.UseOtherExt[0]);
    RBImgRealExt->setChecked(!s.UseOtherExt[0]);
    RBImgVirtName->setChecked(s.UseVirtualNames[0]);
    RBImgRealName->setChecked(!s.UseVirtualNames[0]);
    EJPegCompressionRatio->setValue(s.JpegCompressionRatio);

    CBResDrumClickShow->setChecked(s.ModClickShow[1]);
    CBFileDrumClickShow->setChecked(s.FileClickShow[1]);
    CBResDrumDblShow->setChecked(s.ModDblShow[1]);
    CBResDrumDblBrowse->setChecked(s.ModDblBrowse[1]);
    CBResDrumRunEditor->setChecked(s.ModRunEditor[1]);
    CBFileDrumDblShow->setChecked(s.FileDblShow[1]);
    CBFileDrumRunEditor->setChecked(s.FileRunEditor[1]);
    CBFileDrumRunDef->setChecked(s.FileRunDef[1]);
    RBDrumOtherExt->setChecked(s.UseOtherExt[1]);
    RBDrumRealExt->setChecked(!s.UseOtherExt[1]);
    RBDrumVirtName->setChecked(s.UseVirtualNames[1]);
    RBDrumRealName->setChecked(!s.UseVirtualNames[1]);
    CBShowDrumFormat->setChecked(s.ShowDrumFormat);

    // The player's device when there is a player, else the stored name.
    int current = CBWaveOut->findText(s.AudioDevice, Qt::MatchFixedString);
    if (CBWaveOut->isEnabled() && WavePlayerAvailable())
        current = CBWaveOut->findData(int(GetWavePlayer().Output().DeviceId()));
    CBWaveOut->setCurrentIndex(current >= 0 ? current : 0);

    // The path first: its change names the editor, the stored name then wins.
    CBActiveImg->setChecked(s.ImgEditorActive);
    EImgEditor->setText(s.ImgEditorPath);
    EImgEditorName->setText(s.ImgEditorName);
    CBActiveDrum->setChecked(s.DrumEditorActive);
    EDrumEditor->setText(s.DrumEditorPath);
    EDrumEditorName->setText(s.DrumEditorName);
    CBActiveClick();

    EModPacker->setText(s.ModPackerPath);
    EReBirth->setText(s.ReBirthPath);
}

void TSettingForm::CBActiveClick()
{
    for (QWidget *w : {static_cast<QWidget *>(EImgEditor), static_cast<QWidget *>(BBrowseImg),
                       static_cast<QWidget *>(EImgEditorName)})
        w->setEnabled(CBActiveImg->isChecked());
    for (QWidget *w : {static_cast<QWidget *>(EDrumEditor), static_cast<QWidget *>(BBrowseDrum),
                       static_cast<QWidget *>(EDrumEditorName)})
        w->setEnabled(CBActiveDrum->isChecked());
}

void TSettingForm::BBrowseClick(int tag)
{
    static const char *const titles[] = {"Select Image editor", "Select Drum sample editor",
                                         "Select ModPacker path", "Select ReBirth path"};
    QLineEdit *const fields[] = {EImgEditor, EDrumEditor, EModPacker, EReBirth};
    if (tag < 1 || tag > 4)
        return;
    QLineEdit *field = fields[tag - 1];
    TEditorDialog dialog;
    dialog.title = titles[tag - 1];
    dialog.filters = QStringList{"Programs (*.exe)", "All files (*)"};
    if (!field->text().isEmpty())
        SplitPath(field->text(), dialog.directory, dialog.fileName);
    else if (tag == 3)
        dialog.fileName = "ModPacker.exe";
    else if (tag == 4)
        dialog.fileName = "ReBirth.exe";
    const QString chosen = pickProgram(dialog);
    if (!chosen.isEmpty())
        field->setText(chosen);
}

void TSettingForm::BBrowseTempClick()
{
    TPathDialog PathDialog(this);
    PathDialog.SetTitle("Select a temporary directory");
    PathDialog.SetDirectory(ETemp->text());
    if (pickFolder(PathDialog))
        ETemp->setText(PathDialog.Directory());
}

void TSettingForm::BDefaultTempClick()
{
    ETemp->setText(ExcludeTrailingPathDelimiter(PrivateTempBase()));
}

void TSettingForm::Button2Click()
{
    QString folder, file;
    SplitPath(EAssFileName->text(), folder, file);
    const QString chosen = pickAssignmentFile(folder, file);
    if (chosen.isEmpty())
        return;
    if (!FolderIsWritable(QFileInfo(chosen).absolutePath())) {
        ShowError(WriteProtected);
        return;
    }
    EAssFileName->setText(chosen);
}

void TSettingForm::BAssDefaultClick()
{
    EAssFileName->setText(TAssignmentSet::DefaultAssignmentFile(QString()));
}

void TSettingForm::BDefaultModPackerClick()
{
    EModPacker->setText(FindModPacker());
}

void TSettingForm::BDefaultReBirthClick()
{
    EReBirth->setText(FindReBirth());
}

// --- OK ------------------------------------------------------------------------

void TSettingForm::BOKClick()
{
    TMainSettings &s = form_.Settings;
    try {
        form_.SetToolbarVisible(CBShowToolbar->isChecked());
        form_.ToolbarVisible1->setChecked(s.ShowToolbar);
        form_.SetTextLabels(CBShowLabels->isChecked());
        form_.ShowTextLabels1->setChecked(s.TextLabels);
        s.ShowWelcome = CBShowWelcome->isChecked();
        s.AutoLoad = CBAutoOpen->isChecked();
        s.ShowWarnings = CBWarnings->isChecked();
        s.ShowInfos = CBInfos->isChecked();
        applyAssignmentFile();
        applyImagePage();
        s.JpegCompressionRatio = EJPegCompressionRatio->value();
        applyDrumPage();
        applyWaveOut();
        form_.SetShowDrumFormat(CBShowDrumFormat->isChecked());
        applyEditors();
        s.ModPackerPath = EModPacker->text().trimmed();
        s.ReBirthPath = EReBirth->text().trimmed();
        const QString temp = ETemp->text().trimmed();
        form_.SetTempBase(temp.isEmpty() ? PrivateTempBase() : temp);
    } catch (const std::exception &e) {
        form_.UpdateCommands();
        ShowError(QString::fromUtf8(e.what()));
        return;
    }
    form_.UpdateCommands();
    accept();
}

void TSettingForm::applyAssignmentFile()
{
    TMainSettings &s = form_.Settings;
    const QString file = EAssFileName->text().trimmed();
    // A typed file in a folder that can't be written would only fail at the
    // next save; the stored one is left as it is, whatever its folder.
    if (file != s.AssFilename && !file.isEmpty() && !FolderIsWritable(QFileInfo(file).absolutePath()))
        throw EModwright(WriteProtected);
    s.AssFilename = file;
    form_.Set().assignmentFile = TAssignmentSet::DefaultAssignmentFile(file);
}

void TSettingForm::applyImagePage()
{
    TMainSettings &s = form_.Settings;
    s.ModClickShow[0] = CBResImgClickShow->isChecked();
    s.ModClickShowImageViewer = CBResImgClickShowImgViewer->isChecked();
    s.FileClickShow[0] = CBFileImgClickShow->isChecked();
    s.FileClickShowImageViewer = CBFileImgClickShowImgViewer->isChecked();
    s.ModDblShow[0] = CBResImgDblShow->isChecked();
    s.ModDblShowImageViewer = CBResImgDblShowImgViewer->isChecked();
    s.ModDblBrowse[0] = CBResImgDblBrowse->isChecked();
    s.ModRunEditor[0] = CBResImgRunEditor->isChecked();
    s.FileDblShow[0] = CBFileImgDblShow->isChecked();
    s.FileDblShowImageViewer = CBFileImgDblShowImgViewer->isChecked();
    s.FileRunEditor[0] = CBFileImgRunEditor->isChecked();
    s.FileRunDef[0] = CBFileImgRunDef->isChecked();
    s.UseOtherExt[0] = RBImgOtherExt->isChecked();
    s.UseVirtualNames[0] = RBImgVirtName->isChecked();
}

void TSettingForm::applyDrumPage()
{
    TMainSettings &s = form_.Settings;
    s.ModClickShow[1] = CBResDrumClickShow->isChecked();
    s.FileClickShow[1] = CBFileDrumClickShow->isChecked();
    s.ModDblShow[1] = CBResDrumDblShow->isChecked();
    s.ModDblBrowse[1] = CBResDrumDblBrowse->isChecked();
    s.ModRunEditor[1] = CBResDrumRunEditor->isChecked();
    s.FileDblShow[1] = CBFileDrumDblShow->isChecked();
    s.FileRunEditor[1] = CBFileDrumRunEditor->isChecked();
    s.FileRunDef[1] = CBFileDrumRunDef->isChecked();
    s.UseOtherExt[1] = RBDrumOtherExt->isChecked();
    s.UseVirtualNames[1] = RBDrumVirtName->isChecked();
}

void TSettingForm::applyWaveOut()
{
    if (!CBWaveOut->isEnabled() || CBWaveOut->currentIndex() < 0)
        return;
    const int id = CBWaveOut->currentData().toInt();
    form_.Settings.AudioDevice = CBWaveOut->currentText();
    if (WavePlayerAvailable()) {
        TAudioPlayer &player = GetWavePlayer();
        player.StopPlaying(true);
        player.Output().SetDevice(id);
    }
}

void TSettingForm::applyEditors()
{
    TMainSettings &s = form_.Settings;
    s.ImgEditorActive = CBActiveImg->isChecked();
    s.ImgEditorPath = EImgEditor->text().trimmed();
    s.ImgEditorName = EImgEditorName->text().trimmed();
    s.DrumEditorActive = CBActiveDrum->isChecked();
    s.DrumEditorPath = EDrumEditor->text().trimmed();
    s.DrumEditorName = EDrumEditorName->text().trimmed();
    // The context-menu library reads them from the store: write them now.
    TRegistryUpdate update(form_.Config().Store());
    s.SaveEditors(form_.Config());
    update.Commit();
    if (form_.Hooks.registerShellExtension) {
        try {
            form_.Hooks.registerShellExtension();
        } catch (const std::exception &) {
            // Without rights on the classes root the menu entry stays as it was.
        }
    }
}
