#pragma once

#include <QRect>
#include <QString>
#include <cstdint>

class QWidget;
class TCustomIniFile;

// Where windows remember their place: named values in one section of the
// configuration store (Top, Left, Height, Width, State, Visible, Style, each
// behind a caller's prefix). Windows are kept on the work area and centred when
// nothing is stored yet. Neither saving nor restoring reports anything: a
// failing store leaves whatever was already done.

enum TPlacementFlag : int {
    pfSize = 1,
    pfPosition = 2,
    pfMaximized = 4,
    pfMinimized = 8,
    pfVisibility = 16,
    pfStyle = 32,
};
constexpr int MainPlacement = pfSize | pfPosition | pfMaximized | pfMinimized; // 15
constexpr int FullPlacement = MainPlacement | pfVisibility | pfStyle;          // 63

// Stored `State` values.
enum TStoredWindowState : int { wsNormal = 0, wsMinimized = 1, wsMaximized = 2 };
// Stored `Style` values.
enum TStoredWindowStyle : int { fsNormal = 0, fsStayOnTop = 3 };

// A missing Top or Left reads as this and means "centre the window".
constexpr int32_t NoPosition = -10000;

// The work area: left, top, right, bottom, all inclusive.
struct TWorkArea {
    int left = 0, top = 0, right = -1, bottom = -1;
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
    static TWorkArea fromRect(const QRect &r) { return {r.left(), r.top(), r.right(), r.bottom()}; }
};

// The screen less its panels (the primary screen's available geometry); the
// whole virtual desktop when that is empty.
TWorkArea WorkArea();

// Keeps a rectangle on the work area: the title bar never leaves the top and at
// least 30 pixels stay on it horizontally and above the bottom. Computed in 64
// bits so that absurd stored values cannot overflow.
// The position and size form of it: a QRect cannot even be built from a corner
// near the end of the int range, so stored placements come this way.
QRect ClampToWorkArea(const QPoint &position, const QSize &size, const TWorkArea &area, bool limitSize);
QRect ClampToWorkArea(const QRect &rect, const TWorkArea &area, bool limitSize);
// The rectangle of `size` centred on `reference` (halves rounded toward zero),
// then clamped without limiting the size.
QRect CentreOn(const QRect &reference, const QSize &size, const TWorkArea &area);

// The application's main window: its state at start-up is handed to the
// start-up show mode rather than applied to the window.
void SetApplicationMainWindow(QWidget *window);
QWidget *ApplicationMainWindow();

// How the main window is to be shown first, as its restored placement asks.
struct TStartupShow {
    TStoredWindowState state = wsNormal;
    bool visible = true;
};

class TPlacementStore {
public:
    explicit TPlacementStore(TCustomIniFile &store) : store_(store) {}
    // With a fixed work area instead of the screen's (tests, several screens).
    TPlacementStore(TCustomIniFile &store, const TWorkArea &area)
        : store_(store), area_(area), fixedArea_(true)
    {
    }

    void SavePlacement(QWidget *window, const QString &section, int flags, const QString &prefix = {});
    // For the main window returns how it is to be shown first; other windows get
    // their state and visibility applied and the result is only informative.
    TStartupShow RestorePlacement(QWidget *window, const QString &section, int flags,
                                  const QString &prefix = {});

private:
    TWorkArea workArea() const { return fixedArea_ ? area_ : WorkArea(); }

    TCustomIniFile &store_;
    TWorkArea area_;
    bool fixedArea_ = false;
};

// Places a window in the middle of its owner (or of the work area when the
// owner is absent or hidden), then clamps it without limiting the size.
void CentreWindow(QWidget *window, QWidget *owner);
