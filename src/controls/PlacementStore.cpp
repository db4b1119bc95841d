#include "controls/PlacementStore.h"

#include "platform/CustomIniFile.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <exception>

namespace {

QPointer<QWidget> g_mainWindow;

std::string Name(const QString &prefix, const char *name)
{
    return (prefix + QLatin1String(name)).toStdString();
}

int ClampToInt(int64_t v)
{
    return int(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// The geometry a window returns to when it is neither maximized nor minimized.
QRect NormalRect(const QWidget *window)
{
    if (window->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) {
        const QRect normal = window->normalGeometry();
        if (normal.isValid())
            return normal;
    }
    return window->geometry();
}

bool IsMainWindow(const QWidget *window)
{
    return g_mainWindow.isNull() || g_mainWindow == window;
}

} // namespace

TWorkArea WorkArea()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        if (available.isValid() && !available.isEmpty())
            return TWorkArea::fromRect(available);
        const QRect virtualDesktop = screen->virtualGeometry();
        if (virtualDesktop.isValid())
            return TWorkArea::fromRect(virtualDesktop);
    }
    // No screen at all: a plausible desktop, so that arithmetic stays sane.
    return TWorkArea::fromRect(QRect(0, 0, 1024, 768));
}

QRect ClampToWorkArea(const QRect &rect, const TWorkArea &area, bool limitSize)
{
    return ClampToWorkArea(rect.topLeft(), rect.size(), area, limitSize);
}

QRect ClampToWorkArea(const QPoint &position, const QSize &size, const TWorkArea &area, bool limitSize)
{
    int64_t x = position.x(), y = position.y();
    int64_t width = size.width(), height = size.height();
    if (limitSize) {
        width = std::min<int64_t>(width, area.width());
        height = std::min<int64_t>(height, area.height());
    }
    if (x > area.right)
        x = int64_t(area.right) - 30;
    if (x + width - 30 < area.left)
        x = int64_t(area.left) - width + 30;
    if (y > area.bottom)
        y = int64_t(area.bottom) - 30;
    if (y < area.top)
        y = area.top;
    return QRect(ClampToInt(x), ClampToInt(y), ClampToInt(width), ClampToInt(height));
}

QRect CentreOn(const QRect &reference, const QSize &size, const TWorkArea &area)
{
    // C++ division truncates toward zero, as the placement rule wants.
    const int64_t x = int64_t(reference.left()) + reference.width() / 2 - size.width() / 2;
    const int64_t y = int64_t(reference.top()) + reference.height() / 2 - size.height() / 2;
    return ClampToWorkArea(QPoint(ClampToInt(x), ClampToInt(y)), size, area, false);
}

void SetApplicationMainWindow(QWidget *window)
{
    g_mainWindow = window;
}

QWidget *ApplicationMainWindow()
{
    return g_mainWindow.data();
}

void CentreWindow(QWidget *window, QWidget *owner)
{
    if (!window)
        return;
    const TWorkArea area = WorkArea();
    const QRect reference = owner && owner->isVisible()
                                ? owner->geometry()
                                : QRect(area.left, area.top, area.width(), area.height());
    window->setGeometry(CentreOn(reference, window->size(), area));
}

void TPlacementStore::SavePlacement(QWidget *window, const QString &section, int flags, const QString &prefix)
{
    if (!window)
        return;
    const std::string sec = section.toStdString();
    try {
        const TWorkArea area = workArea();
        const QRect rect = NormalRect(window);
        if (flags & pfPosition) {
            store_.WriteInteger(sec, Name(prefix, "Top"), ClampToInt(int64_t(rect.top()) - area.top));
            store_.WriteInteger(sec, Name(prefix, "Left"), ClampToInt(int64_t(rect.left()) - area.left));
        }
        if (flags & pfSize) {
            store_.WriteInteger(sec, Name(prefix, "Height"), rect.height());
            store_.WriteInteger(sec, Name(prefix, "Width"), rect.width());
        }
        if (flags & (pfMaximized | pfMinimized)) {
            const Qt::WindowStates state = window->windowState();
            int stored = wsNormal;
            if (IsMainWindow(window) && (state & Qt::WindowMinimized))
                stored = (flags & pfMinimized) ? wsMinimized : wsNormal;
            else if ((state & Qt::WindowMinimized) && (flags & pfMinimized))
                stored = wsMinimized;
            else if ((state & Qt::WindowMaximized) && (flags & pfMaximized))
                stored = wsMaximized;
            store_.WriteInteger(sec, Name(prefix, "State"), stored);
        }
        if (flags & pfVisibility)
            store_.WriteBool(sec, Name(prefix, "Visible"), window->isVisible());
        if (flags & pfStyle) {
            const bool onTop = window->windowFlags() & Qt::WindowStaysOnTopHint;
            store_.WriteInteger(sec, Name(prefix, "Style"), onTop ? fsStayOnTop : fsNormal);
        }
    } catch (const std::exception &) {
        // A half-written section stays half-written; placement is never worth a message.
    }
}

TStartupShow TPlacementStore::RestorePlacement(QWidget *window, const QString &section, int flags,
                                               const QString &prefix)
{
    TStartupShow show;
    if (!window)
        return show;
    const std::string sec = section.toStdString();
    const bool isMain = IsMainWindow(window);
    show.visible = isMain || window->isVisible();
    try {
        const TWorkArea area = workArea();
        const QRect current = NormalRect(window);
        QSize size = current.size();
        if (flags & pfSize) {
            const int height = store_.ReadInteger(sec, Name(prefix, "Height"), size.height());
            const int width = store_.ReadInteger(sec, Name(prefix, "Width"), size.width());
            // A stored size of zero or less is no size at all: keep the current one.
            if (width > 0 && height > 0)
                size = QSize(width, height);
        }
        QPoint position = current.topLeft();
        if (flags & pfPosition) {
            const int top = store_.ReadInteger(sec, Name(prefix, "Top"), NoPosition);
            const int left = store_.ReadInteger(sec, Name(prefix, "Left"), NoPosition);
            if (top == NoPosition || left == NoPosition) {
                QWidget *owner = window->parentWidget();
                const QRect reference = owner && owner->isVisible()
                                            ? owner->geometry()
                                            : QRect(area.left, area.top, area.width(), area.height());
                position = CentreOn(reference, size, area).topLeft();
            } else {
                // Stored relative to the work area's corner.
                position = QPoint(ClampToInt(int64_t(left) + area.left), ClampToInt(int64_t(top) + area.top));
            }
        }
        const QRect placed = ClampToWorkArea(position, size, area, flags & pfSize);
        window->setGeometry(placed);

        if (flags & (pfMaximized | pfMinimized)) {
            int current = wsNormal;
            if (window->windowState() & Qt::WindowMinimized)
                current = wsMinimized;
            else if (window->windowState() & Qt::WindowMaximized)
                current = wsMaximized;
            const int stored = store_.ReadInteger(sec, Name(prefix, "State"), current);
            TStoredWindowState wanted = wsNormal;
            if (stored == wsMinimized && (flags & pfMinimized))
                wanted = wsMinimized;
            else if (stored == wsMaximized && (flags & pfMaximized))
                wanted = wsMaximized;
            if (isMain) {
                show.state = wanted;
            } else if (wanted == wsMinimized) {
                window->setWindowState(window->windowState() | Qt::WindowMinimized);
            } else if (wanted == wsMaximized) {
                window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
            } else {
                window->setWindowState(window->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
            }
        }
        if (flags & pfStyle) {
            const bool onTop = window->windowFlags() & Qt::WindowStaysOnTopHint;
            const int style = store_.ReadInteger(sec, Name(prefix, "Style"), onTop ? fsStayOnTop : fsNormal);
            const bool wantOnTop = style == fsStayOnTop;
            if (wantOnTop != onTop) {
                // Changing the flags of a shown window hides it; show it again where it was.
                const bool wasVisible = window->isVisible();
                window->setWindowFlag(Qt::WindowStaysOnTopHint, wantOnTop);
                window->setGeometry(placed);
                if (wasVisible)
                    window->show();
            }
        }
        if (flags & pfVisibility) {
            const bool visible = store_.ReadBool(sec, Name(prefix, "Visible"), isMain);
            show.visible = visible;
            if (!isMain)
                window->setVisible(visible);
        }
    } catch (const std::exception &) {
        // Whatever was applied stays applied.
    }
    return show;
}
