#include "workbench/AssForm.h"

#include "common/MessageBoxes.h"
#include "controls/PlacementStore.h"
#include "model/AssignmentSet.h"
#include "platform/CustomIniFile.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <memory>

namespace {

// Restores the default cursor however the preview ends.
class TBusyCursor {
public:
    TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor &) = delete;
    TBusyCursor &operator=(const TBusyCursor &) = delete;
};

QLabel *Header(QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QListWidget *NameList(QWidget *parent, const char *name)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(name);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

} // namespace

bool IsValidAssignmentName(const QString &name)
{
    if (name.isEmpty() || name == TAssignmentSet::NoName)
        return false;
    for (const QChar c : name)
        if (c == '[' || c == ']' || c.category() == QChar::Other_Control)
            return false;
    return true;
}

TAssForm::TAssForm(TAssignmentSet &set, TCustomIniFile &config, TMode mode, QWidget *parent)
    : QDialog(parent), set_(set), config_(config), mode_(mode)
{
    setObjectName("AssForm");
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowTitleHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(mode == amOpen ? "Open Assignments" : "Save Assignments");
    setSizeGripEnabled(true);
    createLayout();
    resize(560, 360);
    TPlacementStore(config_).RestorePlacement(this, Section, pfSize | pfPosition);
}

TAssForm::~TAssForm() = default;

bool TAssForm::Execute(TAssignmentSet &set, TCustomIniFile &config, TMode mode, QWidget *parent)
{
    QString name;
    {
        // Freed before the file work, whose messages then stand alone.
        auto dialog = std::make_unique<TAssForm>(set, config, mode, parent);
        if (dialog->exec() != QDialog::Accepted)
            return false;
        name = dialog->ChosenName();
    }
    if (mode == amOpen)
        set.LoadAssignment(name, true, false);
    else
        set.SaveAssignment(name);
    return true;
}

void TAssForm::createLayout()
{
    AssPanel = new QWidget(this);
    AssPanel->setObjectName("AssPanel");
    Splitter1 = new QSplitter(Qt::Horizontal, AssPanel);
    Splitter1->setObjectName("Splitter1");
    Splitter1->setOpaqueResize(true);
    Splitter1->setChildrenCollapsible(false);
    auto *panelLayout = new QVBoxLayout(AssPanel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(Splitter1);

    LeftPanel = new QWidget(Splitter1);
    LeftPanel->setObjectName("LeftPanel");
    LAsses = Header(LeftPanel, "LAsses", "Existing Assignments");
    BDelete = new QPushButton("Delete", LeftPanel);
    BDelete->setObjectName("BDelete");
    BDelete->setAutoDefault(false);
    LBAsses = NameList(LeftPanel, "LBAsses");
    auto *leftHeader = new QHBoxLayout;
    leftHeader->addWidget(LAsses, 1);
    leftHeader->addWidget(BDelete);
    auto *left = new QVBoxLayout(LeftPanel);
    left->setContentsMargins(0, 0, 2, 0);
    left->addLayout(leftHeader);
    left->addWidget(LBAsses, 1);

    RightPanel = new QWidget(Splitter1);
    RightPanel->setObjectName("RightPanel");
    LContents = Header(RightPanel, "LContents", "Assignment List");
    LBContents = NameList(RightPanel, "LBContents");
    LBContents->setSelectionMode(QAbstractItemView::NoSelection);
    auto *right = new QVBoxLayout(RightPanel);
    right->setContentsMargins(2, 0, 0, 0);
    // Same height as the left header with its button, so both lists line up.
    LContents->setMinimumHeight(BDelete->sizeHint().height());
    right->addWidget(LContents);
    right->addWidget(LBContents, 1);
    Splitter1->addWidget(LeftPanel);
    Splitter1->addWidget(RightPanel);
    Splitter1->setSizes({200, 340});

    ButtonPanel = new QWidget(this);
    ButtonPanel->setObjectName("ButtonPanel");
    BOK = new QPushButton("OK", ButtonPanel);
    BOK->setObjectName("BOK");
    BOK->setDefault(true);
    BCancel = new QPushButton("Cancel", ButtonPanel);
    BCancel->setObjectName("BCancel");
    BCancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout(ButtonPanel);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(BOK);
    buttons->addWidget(BCancel);
    ButtonPanel->adjustSize();

    LName = new QLabel("Save as:", this);
    LName->setObjectName("LName");
    EName = new QLineEdit(this);
    EName->setObjectName("EName");
    LName->setBuddy(EName);
    LName->setVisible(mode_ == amSave);
    EName->setVisible(mode_ == amSave);
    if (mode_ == amSave && !set_.name.isEmpty())
        EName->setText(set_.name);

    connect(LBAsses, &QListWidget::itemSelectionChanged, this, &TAssForm::LBAssesClick);
    connect(EName, &QLineEdit::textEdited, this, &TAssForm::ENameChange);
    connect(BOK, &QPushButton::clicked, this, &TAssForm::BOKClick);
    connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BDelete, &QPushButton::clicked, this, &TAssForm::BDeleteClick);
    setMinimumSize(360, 220);
    FormShow();
}

void TAssForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (mode_ == amSave) {
        EName->selectAll();
        EName->setFocus();
    }
}

void TAssForm::FormShow()
{
    LBContents->clear();
    LBAsses->blockSignals(true);
    LBAsses->clear();
    // An unreadable assignment file lists nothing; the dialog stays usable.
    LBAsses->addItems(set_.ListAssignments());
    LBAsses->blockSignals(false);
    BDelete->setEnabled(false);
    BOK->setEnabled(mode_ == amSave && nameUsable());
}

bool TAssForm::nameUsable() const
{
    return !EName->text().isEmpty() && EName->text() != TAssignmentSet::NoName;
}

QString TAssForm::selectedName() const
{
    const QList<QListWidgetItem *> items = LBAsses->selectedItems();
    return items.isEmpty() ? QString() : items.front()->text();
}

void TAssForm::showContents(const QString &name)
{
    TBusyCursor busy;
    LBContents->clear();
    LBContents->addItems(set_.AssignmentContents(name));
}

void TAssForm::LBAssesClick()
{
    const QString name = selectedName();
    BDelete->setEnabled(!name.isEmpty());
    if (name.isEmpty()) {
        LBContents->clear();
        if (mode_ == amOpen)
            BOK->setEnabled(false);
        return;
    }
    showContents(name);
    if (mode_ == amOpen) {
        BOK->setEnabled(true);
    } else {
        EName->setText(name);
        BOK->setEnabled(nameUsable());
    }
}

void TAssForm::ENameChange()
{
    BOK->setEnabled(nameUsable());
}

void TAssForm::BOKClick()
{
    if (mode_ == amOpen) {
        const QString name = selectedName();
        if (name.isEmpty())
            return;
        chosen_ = name;
        accept();
        return;
    }
    const QString name = EName->text();
    if (!nameUsable())
        return;
    if (!IsValidAssignmentName(name)) {
        ShowError("An assignment name cannot contain brackets or line breaks.");
        EName->setFocus();
        return;
    }
    for (int i = 0; i < LBAsses->count(); ++i)
        if (LBAsses->item(i)->text() == name && AskConfirmation(OverwriteQuestion, cbYesNoCancel) != maYes)
            return;
    chosen_ = name;
    accept();
}

void TAssForm::BDeleteClick()
{
    QListWidgetItem *item = LBAsses->currentItem();
    if (!item || !item->isSelected())
        return;
    if (AskConfirmation(DeleteQuestion, cbYesNoCancel) != maYes)
        return;
    // Reports a failing assignment file itself.
    set_.DeleteAssignment(item->text());
    LBAsses->blockSignals(true);
    delete item;
    LBAsses->clearSelection();
    LBAsses->setCurrentItem(nullptr);
    LBAsses->blockSignals(false);
    LBContents->clear();
    BDelete->setEnabled(false);
    if (mode_ == amOpen)
        BOK->setEnabled(false);
}

void TAssForm::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    placeControls();
}

void TAssForm::placeControls()
{
    const QSize buttons = ButtonPanel->sizeHint();
    const int w = width(), h = height();
    ButtonPanel->setGeometry(w - buttons.width() - 4, h - buttons.height() - 4, buttons.width(),
                             buttons.height());
    AssPanel->setGeometry(4, 4, w - 8, h - buttons.height() - 12);
    const int top = ButtonPanel->y();
    const int labelHeight = LName->sizeHint().height();
    const int editHeight = EName->sizeHint().height();
    LName->setGeometry(4, top + (buttons.height() - labelHeight) / 2, LName->sizeHint().width(), labelHeight);
    const int editLeft = LName->geometry().right() + 1 + 4;
    EName->setGeometry(editLeft, top + (buttons.height() - editHeight) / 2,
                       std::max(0, ButtonPanel->x() - 4 - editLeft), editHeight);
}

void TAssForm::done(int result)
{
    if (!placementSaved_) {
        placementSaved_ = true;
        TPlacementStore(config_).SavePlacement(this, Section, pfSize | pfPosition);
    }
    QDialog::done(result);
}
