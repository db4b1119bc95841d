#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSplitter;
class TAssignmentSet;
class TCustomIniFile;

// The named assignments in one dialog, in two modes: open one (its lines are
// previewed beside the list) or save the current one under a typed name. Both
// modes can delete an assignment. The dialog keeps its placement in the
// configuration store and is made anew for every command.
class TAssForm : public QDialog {
    Q_OBJECT

public:
    enum TMode { amOpen, amSave };
    static constexpr const char *Section = "AssForm";
    static constexpr const char *OverwriteQuestion =
        "The assignment already exists.\n\rDo you want to overwrite it ?";
    static constexpr const char *DeleteQuestion =
        "This will delete the assignment for ever.\n\rDo you want to proceed ?";

    TAssForm(TAssignmentSet &set, TCustomIniFile &config, TMode mode, QWidget *parent = nullptr);
    ~TAssForm() override;

    // Shows a dialog of its own modally and, when it closed with OK, loads or
    // saves the chosen assignment. True when it closed with OK.
    static bool Execute(TAssignmentSet &set, TCustomIniFile &config, TMode mode, QWidget *parent);

    TMode Mode() const { return mode_; }
    // The name the dialog closed with (open: the selected one, save: the typed one).
    QString ChosenName() const { return chosen_; }

    // Event handlers, callable directly.
    void LBAssesClick();
    void ENameChange();
    void BOKClick();
    void BDeleteClick();

    QWidget *AssPanel = nullptr, *LeftPanel = nullptr, *RightPanel = nullptr, *ButtonPanel = nullptr;
    QSplitter *Splitter1 = nullptr;
    QLabel *LAsses = nullptr, *LContents = nullptr, *LName = nullptr;
    QListWidget *LBAsses = nullptr, *LBContents = nullptr;
    QLineEdit *EName = nullptr;
    QPushButton *BDelete = nullptr, *BOK = nullptr, *BCancel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void done(int result) override;

private:
    void createLayout();
    void FormShow();
    void showContents(const QString &name);
    void placeControls();
    QString selectedName() const;
    bool nameUsable() const;

    TAssignmentSet &set_;
    TCustomIniFile &config_;
    TMode mode_;
    QString chosen_;
    bool placementSaved_ = false;
};

// A name under which an assignment can be kept in the assignment file: not
// empty, not "(no name)", no brackets (they end a section name) and no line
// breaks or other control characters.
bool IsValidAssignmentName(const QString &name);
