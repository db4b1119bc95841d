#pragma once

#include <QEvent>
#include <QPointer>
#include <QWidget>

class QLabel;
class QTimer;

// Posted to the main window when the start-up splash goes away: the rest of
// the start-up (checks, wizard) runs then.
constexpr QEvent::Type StartupContinuesEvent = QEvent::Type(QEvent::User + 125);

// The borderless picture window: shown while the program starts (it closes
// itself after 3 seconds or when clicked) and again as the About box (which
// stays until clicked). It frees itself when hidden.
class TSplashForm : public QWidget {
    Q_OBJECT

public:
    ~TSplashForm() override;

    bool StartupMode() const { return startupMode_; }
    bool TimerRunning() const;
    // Whether the start-up-continues event was posted to the owner.
    bool PostedStartup() const { return postedStartup_; }
    QWidget *Owner() const { return owner_; }

    QLabel *Image1 = nullptr;
    QLabel *LVersion = nullptr;
    QTimer *Timer1 = nullptr;

    // "V" + version number + " build " + build, e.g. "V2.02 build 320".
    static QString VersionCaption(const QString &versionText);

protected:
    TSplashForm(QWidget *owner, bool startupMode);
    void mousePressEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void Timer1Timer();

    QPointer<QWidget> owner_;
    bool startupMode_;
    bool postedStartup_ = false;
};

// The splash the program creates: the picture with a word-wrapped text under
// it, a greeting at start-up or the program's description as About box.
class TSplashForm1 : public TSplashForm {
    Q_OBJECT

public:
    static constexpr int GreetingCount = 31;

    // Both make the process-wide splash (closing one that is open), centre it on
    // the screen and show it on top without taking the focus.
    static TSplashForm1 *CreateForStartup(QWidget *owner);
    static TSplashForm1 *CreateAbout(QWidget *owner);
    // The open splash, if any.
    static TSplashForm1 *Current();

    // Greeting line i (0..30); 0 and 1 are the same text.
    static QString Greeting(int i);
    // The greeting index for a uniform random number in [0, 1): round(r x 30),
    // halves to even.
    static int GreetingIndex(double random);
    static QString AboutText();

    QLabel *LText = nullptr;

protected:
    void hideEvent(QHideEvent *event) override;

private:
    TSplashForm1(QWidget *owner, bool startupMode);
};
