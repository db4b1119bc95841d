#pragma once

#include "common/MessageBoxes.h"

#include <iosfwd>

// Message boxes of the command line: texts go to standard error, questions are
// answered No (nothing is overwritten unasked), and errors are counted so the
// command can exit with 1.
class TCliMessageBoxes : public TMessageBoxHandler {
public:
    explicit TCliMessageBoxes(std::ostream &err);
    ~TCliMessageBoxes() override;
    void information(const QString &text) override;
    void error(const QString &text) override;
    TMsgAnswer confirm(const QString &text, TConfirmButtons buttons) override;

    int errors = 0;

private:
    std::ostream &err_;
    TMessageBoxHandler *previous_;
};
