#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;

// A one-line entry dialog: a caption, a label and an edit field with OK and
// Cancel. The text comes in filled and selected.
class TEnterExt : public QDialog {
    Q_OBJECT
public:
    TEnterExt(const QString &caption, const QString &label, const QString &text, QWidget *parent = nullptr);

    QLabel *LName = nullptr;
    QLineEdit *EName = nullptr;

    // Shows the dialog modally; true with the entered text on OK.
    static bool Execute(QWidget *parent, const QString &caption, const QString &label, QString &text);

    // Tests and scripts answer instead of a user; an empty handler restores the dialog.
    using THandler = std::function<bool(const QString &caption, const QString &label, QString &text)>;
    static void SetHandler(THandler handler);
};
