// Where the window stands: the rectangle, the status bar and the byte pane kept
// in the profile, and a rectangle from a monitor no longer attached brought
// back onto a screen.
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "app/CMainFrame.h"
#include "app/CZOKApp.h"
#include "framework/IniProfile.h"

namespace zok2 {

void CMainFrame::RestorePlacement()
{
    // Each stored edge replaces the default one; 0 means it was never stored.
    const IniProfile profile = m_app.Profile();
    QRect rect = normalGeometry().isValid() ? normalGeometry() : geometry();
    int left = rect.left(), top = rect.top(), right = rect.left() + rect.width(), bottom = rect.top() + rect.height();
    const int storedLeft = profile.GetInt("Setting", "left", 0), storedRight = profile.GetInt("Setting", "right", 0);
    const int storedTop = profile.GetInt("Setting", "top", 0), storedBottom = profile.GetInt("Setting", "bottom", 0);
    if (storedLeft != 0) left = storedLeft;
    if (storedRight != 0) right = storedRight;
    if (storedTop != 0) top = storedTop;
    if (storedBottom != 0) bottom = storedBottom;
    SetStatusBarShown(profile.GetInt("Setting", "statusbar", 1) != 0, false);
    SetBytePaneShown(profile.GetInt("Setting", "bytepane", 0) != 0, false);
    if (right <= left || bottom <= top) return;  // a rectangle that cannot be a window
    setGeometry(OnSomeScreen(QRect(left, top, right - left, bottom - top)));
}

QRect CMainFrame::OnSomeScreen(const QRect& rect)
{
    // A rectangle stored while another monitor was attached may lie wholly off
    // every screen now: it moves onto the primary screen, keeping its size where it fits.
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(rect)) return rect;
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) return rect;
    const QRect area = primary->availableGeometry();
    const QSize size(std::min(rect.width(), area.width()), std::min(rect.height(), area.height()));
    return QRect(area.topLeft() + QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2), size);
}

void CMainFrame::SavePlacement()
{
    IniProfile profile = m_app.Profile();
    const QRect rect = isMaximized() || isMinimized() || isFullScreen() ? normalGeometry() : geometry();
    // A minimized window is not maximized, whatever it returns to when restored.
    bool ok = profile.WriteString("Setting", "maximize", isMaximized() && !isMinimized() ? "1" : "0");
    ok = ok && profile.WriteInt("Setting", "left", rect.left());
    ok = ok && profile.WriteInt("Setting", "right", rect.left() + rect.width());
    ok = ok && profile.WriteInt("Setting", "top", rect.top());
    ok = ok && profile.WriteInt("Setting", "bottom", rect.top() + rect.height());
    m_app.ProfileWritten(ok);
}

}  // namespace zok2
