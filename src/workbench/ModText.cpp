#include "workbench/ModText.h"

#include "common/MessageBoxes.h"
#include "controls/PlacementStore.h"
#include "formats/ReadOnlyFile.h"
#include "modbuild/ModPackerFiles.h"
#include "model/AssignmentSet.h"
#include "platform/CustomIniFile.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A description file is a few lines; anything larger is not one.
constexpr uint64_t MaxCommentsBytes = 4u << 20;

std::string Std(const QString &s)
{
    return s.toStdString();
}

std::string HistorySection(const char *list)
{
    return std::string(TModText::Section) + "\\" + list;
}

QComboBox *HistoryBox(QWidget *parent, const char *name)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    // The list is kept by the dialog: Return confirms the dialog, it adds nothing.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxVisibleItems(12);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(20);
    return box;
}

QLabel *BuddyLabel(QWidget *parent, const char *name, const QString &caption, QWidget *buddy)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setBuddy(buddy);
    return label;
}

QString DefaultChooseFile(QWidget *parent, const QString &title, const QString &folder, const QString &filter,
                          const QString &suffix)
{
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

} // namespace

void MoveToTop(QComboBox *box, const QString &text)
{
    if (text.isEmpty() || (box->count() > 0 && box->itemText(0) == text))
        return;
    // Removing the current entry would change the edit text: keep it.
    for (int i = box->count() - 1; i >= 1; --i)
        if (box->itemText(i) == text)
            box->removeItem(i);
    box->insertItem(0, text);
    box->setEditText(text);
}

TModText::TModText(TAssignmentSet &set, TCustomIniFile &config, QWidget *parent)
    : QDialog(parent), set_(set), config_(config)
{
    setObjectName("ModText");
    setWindowTitle("Mod Description");
    chooseFile = [this](const QString &title, const QString &folder, const QString &filter) {
        const QString suffix = filter.startsWith("Text") ? "txt" : "rbs";
        return DefaultChooseFile(this, title, folder, filter, suffix);
    };
    createLayout();
    FormCreate();
    fillFromTexts();
}

bool TModText::Execute(TAssignmentSet &set, TCustomIniFile &config, QWidget *parent)
{
    auto *dialog = new TModText(set, config, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    return dialog->exec() == QDialog::Accepted;
}

void TModText::createLayout()
{
    CBModName = HistoryBox(this, "CBModName");
    CBWWW = HistoryBox(this, "CBWWW");
    CBFTP = HistoryBox(this, "CBFTP");
    CBDemoSong = HistoryBox(this, "CBDemoSong");
    MComments = new QPlainTextEdit(this);
    MComments->setObjectName("MComments");
    MComments->setTabChangesFocus(true);
    MComments->setLineWrapMode(QPlainTextEdit::NoWrap);
    MComments->setMinimumHeight(fontMetrics().lineSpacing() * 7);

    LModName = BuddyLabel(this, "LModName", "&Mod name", CBModName);
    LWWW = BuddyLabel(this, "LWWW", "&WWW address (e.g. http://www.example.com/mymod/)", CBWWW);
    LFTP = BuddyLabel(this, "LFTP", "&FTP address (e.g. ftp://ftp.example.com/pub/mods/)", CBFTP);
    LComments = BuddyLabel(this, "LComments", "&Comments", MComments);
    LDemoSong = BuddyLabel(this, "LDemoSong", "&Demo song", CBDemoSong);

    BLoadComments = new QPushButton("&Load from file", this);
    BLoadComments->setObjectName("BLoadComments");
    BLoadComments->setAutoDefault(false);
    BBrowse = new QPushButton("Browse...", this);
    BBrowse->setObjectName("BBrowse");
    BBrowse->setAutoDefault(false);
    BOK = new QPushButton("OK", this);
    BOK->setObjectName("BOK");
    BOK->setDefault(true);
    BCancel = new QPushButton("Cancel", this);
    BCancel->setObjectName("BCancel");
    BCancel->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    layout->addWidget(LModName);
    layout->addWidget(CBModName);
    layout->addSpacing(6);
    layout->addWidget(LWWW);
    layout->addWidget(CBWWW);
    layout->addSpacing(6);
    layout->addWidget(LFTP);
    layout->addWidget(CBFTP);
    layout->addSpacing(6);
    auto *commentsRow = new QHBoxLayout;
    commentsRow->addWidget(LComments);
    commentsRow->addStretch();
    commentsRow->addWidget(BLoadComments);
    layout->addLayout(commentsRow);
    layout->addWidget(MComments, 1);
    layout->addSpacing(6);
    layout->addWidget(LDemoSong);
    auto *songRow = new QHBoxLayout;
    songRow->addWidget(CBDemoSong, 1);
    songRow->addWidget(BBrowse);
    layout->addLayout(songRow);
    layout->addSpacing(10);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BOK);
    buttons->addWidget(BCancel);
    layout->addLayout(buttons);
    setMinimumWidth(440);

    connect(BOK, &QPushButton::clicked, this, &TModText::BOKClick);
    connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BLoadComments, &QPushButton::clicked, this, &TModText::BLoadCommentsClick);
    connect(BBrowse, &QPushButton::clicked, this, &TModText::BBrowseClick);
}

QString TModText::folderSetting(const char *name) const
{
    return QString::fromStdString(config_.ReadString(Section, name, ""));
}

void TModText::readHistory(QComboBox *box, const char *list)
{
    const std::string section = HistorySection(list);
    for (int i = 0;; ++i) {
        const QString value = QString::fromStdString(config_.ReadString(section, std::to_string(i), ""));
        if (value.isEmpty())
            break;
        box->addItem(value);
    }
}

void TModText::writeHistory(QComboBox *box, const char *list)
{
    const std::string section = HistorySection(list);
    config_.EraseSection(section);
    for (int i = 0; i < box->count() && i < HistoryLength; ++i)
        config_.WriteString(section, std::to_string(i), Std(box->itemText(i)));
}

void TModText::FormCreate()
{
    readHistory(CBModName, "ModNames");
    readHistory(CBWWW, "WWWs");
    readHistory(CBFTP, "FTPs");
    readHistory(CBDemoSong, "DemoSongs");
    commentDir_ = folderSetting("CommentDir");
    demoSongDir_ = folderSetting("DemoSongDir");
    adjustSize();
    TPlacementStore(config_).RestorePlacement(this, Section, pfPosition);
}

void TModText::fillFromTexts()
{
    const TModTexts &texts = set_.texts;
    QString modName = texts.ModName;
    // The placeholder of an unnamed assignment is no name to propose.
    if (modName.isEmpty() && set_.name != TAssignmentSet::NoName)
        modName = set_.name;
    CBModName->setEditText(modName);
    CBWWW->setEditText(texts.WWW);
    CBFTP->setEditText(texts.FTP);
    CBDemoSong->setEditText(texts.DemoSong);
    QString comments = texts.Comments;
    comments.replace("\r\n", "\n").replace('\r', '\n');
    MComments->setPlainText(comments);
}

QString TModText::CommentsText() const
{
    return MComments->toPlainText().replace('\n', "\r\n");
}

void TModText::BLoadCommentsClick()
{
    const QString file =
        chooseFile("Choose a description file", commentDir_, "Text files (*.txt);;All files (*)");
    if (file.isEmpty())
        return;
    chosenComments_ = file;
    commentDir_ = QFileInfo(file).absolutePath();
    try {
        TReadOnlyFile source(file);
        MComments->setPlainText(TextLines(DecodeTextFile(source.readAll(MaxCommentsBytes))).join('\n'));
    } catch (const std::exception &e) {
        ShowError(QString::fromUtf8(e.what()));
    }
}

void TModText::BBrowseClick()
{
    const QString file =
        chooseFile("Choose a demo song", demoSongDir_, "ReBirth songs (*.rbs);;All files (*)");
    if (file.isEmpty())
        return;
    chosenDemoSong_ = file;
    demoSongDir_ = QFileInfo(file).absolutePath();
    CBDemoSong->setEditText(file);
}

void TModText::BOKClick()
{
    const QString modName = CBModName->currentText();
    const QString www = CBWWW->currentText();
    const QString ftp = CBFTP->currentText();
    const QString demoSong = CBDemoSong->currentText();
    const QString comments = CommentsText();
    if (modName.isEmpty()) {
        ShowInformation("Please specify a mod name.");
        CBModName->setFocus();
        return;
    }
    if (!demoSong.isEmpty() && !QFileInfo(demoSong).isFile()) {
        ShowInformation("Please specify an existing demo song (or no song).");
        CBDemoSong->setFocus();
        return;
    }
    // The mod is made in a folder of this name that is removed afterwards: a
    // name that leads out of the working folder would remove something else.
    const QString problem = ModNameProblem(modName);
    if (!problem.isEmpty()) {
        ShowInformation(problem);
        CBModName->setFocus();
        return;
    }
    // The texts go to the packer in its Windows character set: a character it
    // cannot hold is named rather than lost.
    const struct {
        const char *what; // with its verb
        QString text;
        QWidget *field;
    } fields[] = {{"mod name holds", modName, CBModName},
                  {"WWW address holds", www, CBWWW},
                  {"FTP address holds", ftp, CBFTP},
                  {"comments hold", comments, MComments}};
    for (const auto &text : fields) {
        const QString character = FirstUnwritableCharacter(text.text);
        if (character.isEmpty())
            continue;
        ShowInformation(QString("The %1 the character %2, which ModPacker's text files cannot hold "
                                "(they are written in the Windows character set, windows-1252). "
                                "Please replace it.")
                            .arg(text.what, CharacterName(character)));
        text.field->setFocus();
        return;
    }
    MoveToTop(CBModName, modName);
    MoveToTop(CBWWW, www);
    MoveToTop(CBFTP, ftp);
    MoveToTop(CBDemoSong, demoSong);

    TModTexts &texts = set_.texts;
    const bool wasModified = set_.modified;
    if (!set_.modified)
        set_.modified = comments != texts.Comments || www != texts.WWW || ftp != texts.FTP ||
                        modName != texts.ModName ||
                        demoSong.compare(texts.DemoSong, Qt::CaseInsensitive) != 0;
    if (set_.modified) {
        texts.ModName = modName;
        texts.WWW = www;
        texts.FTP = ftp;
        texts.DemoSong = demoSong;
        texts.Comments = comments;
    }
    if (set_.modified != wasModified && set_.onSetChanged)
        set_.onSetChanged();
    accept();
}

void TModText::done(int result)
{
    if (!closed_) {
        closed_ = true;
        try {
            writeHistory(CBModName, "ModNames");
            writeHistory(CBWWW, "WWWs");
            writeHistory(CBFTP, "FTPs");
            writeHistory(CBDemoSong, "DemoSongs");
            TPlacementStore(config_).SavePlacement(this, Section, pfPosition);
            // A folder is remembered once a file was chosen in it; an opening
            // without a choice keeps the one remembered before.
            if (!chosenComments_.isEmpty())
                config_.WriteString(Section, "CommentDir", Std(commentDir_));
            if (!chosenDemoSong_.isEmpty())
                config_.WriteString(Section, "DemoSongDir", Std(demoSongDir_));
        } catch (const std::exception &e) {
            ShowError(QString::fromUtf8(e.what()));
        }
    }
    QDialog::done(result);
}
