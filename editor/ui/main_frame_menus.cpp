// The frame's two menus, the recent files in its File menus, and the enabled state of
// every menu item and bar button.
#include "editor/app/app_state.h"
#include "editor/commands/command_table.h"
#include "editor/document/edit_menu.h"
#include "editor/document/undo_history.h"
#include "editor/ui/document_window.h"
#include "editor/ui/main_frame.h"

#include <QAbstractItemView>
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

namespace ui {

namespace {

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

QMenu* CMainFrame::build_menu(const app::MenuNode& node, std::vector<QAction*>& actions)
{
    auto* menu = new QMenu(q(node.text), this);
    for (const app::MenuNode& item : node.items) {
        if (item.is_separator()) {
            QAction* sep = menu->addSeparator();
            // The File menu takes the recent files before its last separator.
            if (item.is_separator() && node.text == "&File")
                sep->setObjectName("recent-anchor");
            continue;
        }
        if (!item.items.empty()) {
            menu->addMenu(build_menu(item, actions));
            continue;
        }
        QAction* a = menu->addAction(q(item.text));
        a->setData(item.id);
        const app::Prompt prompt = app::command_prompt(item.id);
        if (!prompt.status.empty())
            a->setStatusTip(q(prompt.status));
        const int id = item.id;
        connect(a, &QAction::triggered, this, [this, id] { on_command(id); });
        actions.push_back(a);
    }
    connect(menu, &QMenu::aboutToShow, this, [this] { update_command_states(); });
    if (node.text == "&File")
        recent_menus_.push_back(menu);
    if (node.text == "Win&dow") {
        connect(menu, &QMenu::aboutToShow, this, [this, menu] {
            for (QAction* a : menu->actions())
                if (a->property("window-list").toBool())
                    delete a;
            const auto windows = mdi_->subWindowList();
            if (windows.isEmpty())
                return;
            QAction* sep = menu->addSeparator();
            sep->setProperty("window-list", true);
            int n = 1;
            for (QMdiSubWindow* sub : windows) {
                QAction* a = menu->addAction(QString("&%1 %2").arg(n++).arg(sub->windowTitle()));
                a->setProperty("window-list", true);
                a->setCheckable(true);
                a->setChecked(sub == mdi_->activeSubWindow());
                connect(a, &QAction::triggered, this,
                        [this, sub] { mdi_->setActiveSubWindow(sub); });
            }
        });
    }
    return menu;
}

void CMainFrame::build_menus()
{
    for (const app::MenuNode& top : app::frame_menu())
        frame_menus_.push_back(build_menu(top, frame_actions_));
    for (const app::MenuNode& top : app::document_menu())
        document_menus_.push_back(build_menu(top, document_actions_));
    rebuild_recent_menu();
    show_menu_set(false);
}

void CMainFrame::show_menu_set(bool document_menu)
{
    showing_document_menu_ = document_menu;
    menuBar()->clear();
    for (QMenu* m : document_menu ? document_menus_ : frame_menus_)
        menuBar()->addMenu(m);
}

const std::vector<QMenu*>& CMainFrame::shown_menus() const
{
    return showing_document_menu_ ? document_menus_ : frame_menus_;
}

void CMainFrame::rebuild_recent_menu()
{
    for (QAction* a : recent_actions_)
        delete a;
    recent_actions_.clear();
    for (QMenu* menu : recent_menus_) {
        // Before the separator above "Exit".
        QAction* anchor = nullptr;
        for (QAction* a : menu->actions())
            if (a->objectName() == "recent-anchor")
                anchor = a;
        if (!anchor || recent_.files().empty())
            continue;
        int i = 0;
        for (const std::string& f : recent_.files()) {
            auto* a = new QAction(q(app::RecentFiles::menu_text(i, f)), menu);
            a->setData(cmd::kRecentFile1 + i);
            a->setStatusTip(q(f));
            const int id = cmd::kRecentFile1 + i;
            connect(a, &QAction::triggered, this, [this, id] { on_command(id); });
            menu->insertAction(anchor, a);
            recent_actions_.push_back(a);
            ++i;
        }
        QAction* sep = new QAction(menu);
        sep->setSeparator(true);
        menu->insertAction(anchor, sep);
        recent_actions_.push_back(sep);
    }
}

QAction* CMainFrame::menu_action(int id) const
{
    for (QAction* a : showing_document_menu_ ? document_actions_ : frame_actions_)
        if (a->data().toInt() == id)
            return a;
    for (QAction* a : recent_actions_)
        if (a->data().toInt() == id && !a->isSeparator())
            return a;
    return nullptr;
}

bool CMainFrame::command_enabled(int id) const
{
    if (id >= cmd::kRecentFile1 && id < cmd::kRecentFile1 + app::kRecentFileCount)
        return id - cmd::kRecentFile1 < static_cast<int>(recent_.files().size());
    return commands::available(id, documents::active() != nullptr);
}

void CMainFrame::update_command_states()
{
    // The cue list follows the active document's markers while it is closed.
    if (cue_list_ && !cue_list_->view()->isVisible())
        cue_list_->show_document(documents::active());
    auto apply = [this](const std::vector<QAction*>& actions) {
        for (QAction* a : actions) {
            const int id = a->data().toInt();
            if (id == 0)
                continue;
            a->setEnabled(command_enabled(id));
            if (id == cmd::kUndoRedo)
                a->setText(q(g_undo_menu.text));
        }
    };
    apply(frame_actions_);
    apply(document_actions_);
    apply(bar_actions_);
    apply(recent_actions_);
    // The Edit menu's own Redo item is there only with more than one undo level.
    for (const auto* actions : {&frame_actions_, &document_actions_})
        for (QAction* a : *actions)
            if (a->data().toInt() == cmd::kRedo) {
                a->setText(q(g_undo_menu.redo_item));
                a->setVisible(undo_levels() > 1);
            }
    for (DocumentWindow* w : document_windows())
        w->show_modified();
}

} // namespace ui
