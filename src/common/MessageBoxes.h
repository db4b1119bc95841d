#pragma once

#include <QString>
#include <QStringList>

// The program's message boxes (information, error, confirmation) behind one
// seam: the windows install a handler that shows real boxes, tests install one
// that scripts the answers and records the texts, and without a handler the
// texts go to standard error and questions get their safe answer.

enum TMsgAnswer { maOk, maYes, maNo, maCancel, maAll };

enum TConfirmButtons {
    cbYesNo = 0,
    cbYesNoCancel = 1,
    cbYesNoCancelAll = 2, // several files concerned
};

class TMessageBoxHandler {
public:
    virtual ~TMessageBoxHandler() = default;
    virtual void information(const QString &text) = 0;
    virtual void error(const QString &text) = 0;
    virtual TMsgAnswer confirm(const QString &text, TConfirmButtons buttons) = 0;
};

// Installs a handler (not owned); nullptr restores the default. Returns the previous one.
TMessageBoxHandler *SetMessageBoxHandler(TMessageBoxHandler *handler);

void ShowInformation(const QString &text);
void ShowError(const QString &text);
TMsgAnswer AskConfirmation(const QString &text, TConfirmButtons buttons);

// A handler for tests and scripts: answers from a queue (default when empty),
// every text recorded with a prefix "info: ", "error: " or "confirm: ".
class TScriptedMessageBoxes : public TMessageBoxHandler {
public:
    TScriptedMessageBoxes();
    ~TScriptedMessageBoxes() override;
    void information(const QString &text) override;
    void error(const QString &text) override;
    TMsgAnswer confirm(const QString &text, TConfirmButtons buttons) override;

    QList<TMsgAnswer> answers;        // taken from the front
    TMsgAnswer defaultAnswer = maNo;  // when the queue is empty
    QStringList shown;

private:
    TMessageBoxHandler *previous_;
};
