#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

class QLabel;
class TProcess;
class TWaitThread;

// The box that stays up, modally, while ModPacker runs: borderless, without
// buttons, closed by its wait thread when the process has ended. The user
// cannot close it meanwhile, since the mod folder ModPacker works on is removed
// as soon as the box is gone.
class TAppWaiter : public QDialog {
    Q_OBJECT

public:
    static constexpr const char *WaitText =
        "Please wait until ModPacker has finished. Then close ModPacker !";

    TAppWaiter(std::shared_ptr<TProcess> process, QWidget *owner);
    ~TAppWaiter() override;

    // Shows a box of its own over `owner` until the process has ended; it frees
    // itself on closing. Returns the exit code (StillActive when it could not be read).
    static uint32_t WaitFor(std::shared_ptr<TProcess> process, QWidget *owner);

    QLabel *Label1 = nullptr;
    bool ProcessEnded() const { return ended_; }

    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void processEnded();

    std::shared_ptr<TProcess> process_;
    QPointer<TWaitThread> thread_;
    bool ended_ = false;
};
