#pragma once

#include "model/Messages.h"

#include <QDialog>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

// The messages window: the lines that a longer command collected (warnings,
// errors, information), shown modally after the command. Its two check boxes
// edit the ShowWarnings and ShowInfos settings for the next time.
class TErrForm : public QDialog, public TMessages {
    Q_OBJECT

public:
    // The two settings live in the main window; the form edits them in place.
    TErrForm(bool &showWarnings, bool &showInfos, QWidget *parent = nullptr);

    void ClearMessages() override;
    void AddMessage(const QString &line) override;
    bool HasMessages() const override;
    void ShowMessages() override;

    QStringList Lines() const { return lines_; }

    QPlainTextEdit *MemoError = nullptr;
    QCheckBox *CBWarnings = nullptr;
    QCheckBox *CBInfos = nullptr;
    QPushButton *BClose = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    bool &showWarnings_;
    bool &showInfos_;
    QStringList lines_;
};
