#pragma once

#include <QString>
#include <QStringList>

// The messages window as the logic sees it: lines collected during a command,
// shown modally afterwards when there are any. The main window implements it;
// TMessageList keeps the lines in memory (command line, tests).
class TMessages {
public:
    virtual ~TMessages() = default;
    virtual void ClearMessages() = 0;
    virtual void AddMessage(const QString &line) = 0;
    virtual bool HasMessages() const = 0;
    // Shows the window modally (returns when the user closed it).
    virtual void ShowMessages() = 0;
};

class TMessageList : public TMessages {
public:
    void ClearMessages() override { lines.clear(); }
    void AddMessage(const QString &line) override { lines << line; }
    bool HasMessages() const override { return !lines.isEmpty(); }
    void ShowMessages() override { ++showCount; }

    QStringList lines;
    int showCount = 0;
};
