#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class TAssignmentSet;
class TCustomIniFile;

// "Mod Description": the five mod texts of the current assignment (name, web
// and FTP address, comments, demo song). The four one-line fields remember the
// values entered before, most recent first, in the configuration store.
class TModText : public QDialog {
    Q_OBJECT

public:
    static constexpr const char *Section = "Mod Description";
    static constexpr int HistoryLength = 30;

    TModText(TAssignmentSet &set, TCustomIniFile &config, QWidget *parent = nullptr);

    // Opens a dialog of its own, modally; it frees itself on closing. True when
    // it closed with OK.
    static bool Execute(TAssignmentSet &set, TCustomIniFile &config, QWidget *parent);

    // Chooses an existing file (title, start folder, filter); "" when cancelled.
    // A file dialog unless replaced.
    std::function<QString(const QString &, const QString &, const QString &)> chooseFile;

    void BOKClick();
    void BLoadCommentsClick();
    void BBrowseClick();

    QComboBox *CBModName = nullptr;
    QComboBox *CBWWW = nullptr;
    QComboBox *CBFTP = nullptr;
    QComboBox *CBDemoSong = nullptr;
    QPlainTextEdit *MComments = nullptr;
    QLabel *LModName = nullptr, *LWWW = nullptr, *LFTP = nullptr, *LComments = nullptr, *LDemoSong = nullptr;
    QPushButton *BLoadComments = nullptr, *BBrowse = nullptr, *BOK = nullptr, *BCancel = nullptr;

    // The comments as the mod texts hold them: lines joined by CR LF.
    QString CommentsText() const;

    void done(int result) override;

private:
    void createLayout();
    void FormCreate();
    void fillFromTexts();
    void readHistory(QComboBox *box, const char *list);
    void writeHistory(QComboBox *box, const char *list);
    QString folderSetting(const char *name) const;

    TAssignmentSet &set_;
    TCustomIniFile &config_;
    QString commentDir_, demoSongDir_;
    // The files chosen in this opening (empty: none).
    QString chosenComments_, chosenDemoSong_;
    bool closed_ = false;
};

// Puts `text` at the top of a drop-down list's entries unless it is empty or
// already first; an equal entry further down goes.
void MoveToTop(QComboBox *box, const QString &text);
