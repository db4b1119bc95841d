#pragma once

#include <QString>

// The main window's progress display as the long operations see it: a caption
// with a bar from 0 to a maximum, one step per item, and the hourglass pointer
// meanwhile. The window implements it; TNoProgress does nothing (command line).
class TBuildProgress {
public:
    virtual ~TBuildProgress() = default;
    // Shows the progress page with the caption and the hourglass pointer.
    virtual void BeginProgress(const QString &caption, int maximum) = 0;
    virtual void StepProgress() = 0;
    // Back to the status page and the normal pointer.
    virtual void EndProgress() = 0;
    // The hourglass pointer alone (no progress page).
    virtual void SetBusy(bool busy) = 0;
};

class TNoProgress : public TBuildProgress {
public:
    void BeginProgress(const QString &, int) override {}
    void StepProgress() override {}
    void EndProgress() override {}
    void SetBusy(bool) override {}
};

// Ends the progress display on every way out of an operation.
class TProgressScope {
public:
    TProgressScope(TBuildProgress &progress, const QString &caption, int maximum) : progress_(progress)
    {
        progress_.BeginProgress(caption, maximum);
    }
    ~TProgressScope() { progress_.EndProgress(); }
    TProgressScope(const TProgressScope &) = delete;
    TProgressScope &operator=(const TProgressScope &) = delete;

private:
    TBuildProgress &progress_;
};

// Restores the pointer on every way out.
class TBusyScope {
public:
    explicit TBusyScope(TBuildProgress &progress) : progress_(progress) { progress_.SetBusy(true); }
    ~TBusyScope() { progress_.SetBusy(false); }
    TBusyScope(const TBusyScope &) = delete;
    TBusyScope &operator=(const TBusyScope &) = delete;

private:
    TBuildProgress &progress_;
};
