// Where the frame opens, and what closing it keeps for the next run: the bar layout, the
// "General" flags, the recent files and "WindowPos".
#include "editor/app/app_profile.h"
#include "editor/app/window_placement.h"
#include "editor/ui/main_frame.h"
#include "platform/profile.h"

#include <QGuiApplication>
#include <QScreen>
#include <QToolBar>

namespace ui {

void CMainFrame::restore_placement()
{
    const auto p = app::read_window_placement();
    if (!p)
        return;
    // The screen the window was on, else the first: a changed screen or scale must not
    // leave it out of reach.
    const QRect saved(p->left, p->top, p->right - p->left, p->bottom - p->top);
    QScreen* screen = QGuiApplication::screenAt(saved.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    QRect placed = saved;
    if (screen) {
        const QRect area = screen->availableGeometry();
        const app::ScreenRect r =
            app::fit_on_screen({saved.x(), saved.y(), saved.width(), saved.height()},
                               {area.x(), area.y(), area.width(), area.height()});
        placed = QRect(r.x, r.y, r.width, r.height);
    }
    setGeometry(placed);
    if (p->maximized())
        setWindowState(windowState() | Qt::WindowMaximized);
}

void CMainFrame::save_layout_and_placement()
{
    const std::string f = kel::profile::app_profile();
    kel::profile::write_string("General", "BarLayout", saveState().toHex().toStdString(), f);
    for (auto& [n, tb] : bars_)
        app::write_bar_state(n, !tb->isHidden(), tb->isFloating());
    app::write_general_flags({color_ ? 1 : 0, tool_tips_ ? 1 : 0});
    recent_.write();

    app::WindowPlacement p;
    const bool maximized = isMaximized();
    p.flags = maximized ? app::kRestoreToMaximized : 0;
    p.show_command = maximized       ? app::kShowMaximized
                     : isMinimized() ? app::kShowMinimized
                                     : app::kShowNormal;
    QRect normal = normalGeometry();
    if (!normal.isValid() || normal.isEmpty())
        normal = geometry();
    p.left = normal.left();
    p.top = normal.top();
    p.right = normal.left() + normal.width();
    p.bottom = normal.top() + normal.height();
    app::write_window_placement(p);
}

} // namespace ui
