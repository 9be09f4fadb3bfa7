// The frame's eleven bars: the tool bars, the cue list, the level indicators with the
// volume fader and the spectrum indicator; their docking and saved layout.
#include "editor/app/app_profile.h"
#include "editor/app/app_state.h"
#include "editor/commands/command_table.h"
#include "editor/ui/bar_icons.h"
#include "editor/ui/control_widgets.h"
#include "editor/ui/main_frame.h"
#include "platform/profile.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QSlider>
#include <QToolBar>
#include <QVBoxLayout>

namespace ui {

namespace {

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

Qt::ToolBarAreas areas_for(app::Dock dock)
{
    switch (dock) {
    case app::Dock::TopOnly:
        return Qt::TopToolBarArea;
    case app::Dock::RightOnly:
        return Qt::RightToolBarArea;
    case app::Dock::Any:
        break;
    }
    return Qt::AllToolBarAreas;
}

} // namespace

QAction* CMainFrame::bar_action(int id) const
{
    for (QAction* a : bar_actions_)
        if (a->data().toInt() == id)
            return a;
    return nullptr;
}

void CMainFrame::build_bars()
{
    const double scale = app::g_preferences.big_volume_indicators ? 1.0 : 0.75;
    auto scaled = [scale](int v) { return static_cast<int>(v * scale); };
    for (const app::BarInfo& info : app::bars()) {
        auto* tb = new QToolBar(info.title, this);
        tb->setObjectName(QString("General-Bar%1").arg(app::general_bar_of(info.number)));
        tb->setAllowedAreas(areas_for(info.dock));
        tb->setIconSize(QSize(20, 20));
        tb->setProperty("bar-number", info.number);
        bars_[info.number] = tb;
        auto add_button = [&](int id) {
            if (id == 0) {
                tb->addSeparator();
                return;
            }
            const app::Prompt prompt = app::command_prompt(id);
            QAction* a = tb->addAction(bar_icon(id, color_), q(prompt.tip));
            a->setData(id);
            a->setToolTip(q(prompt.tip));
            a->setStatusTip(q(prompt.status));
            connect(a, &QAction::triggered, this, [this, id] { on_command(id); });
            bar_actions_.push_back(a);
        };
        auto describe = [](QWidget* w, int id) {
            const app::Prompt prompt = app::command_prompt(id);
            w->setToolTip(q(prompt.tip));
            w->setStatusTip(q(prompt.status));
        };
        switch (info.kind) {
        case app::BarKind::Buttons:
            for (int id : info.buttons)
                add_button(id);
            break;
        case app::BarKind::Cuelist:
            for (int id : info.buttons)
                add_button(id);
            cue_list_ = new CueListBox(tb);
            cue_list_->setObjectName("1026");
            cue_list_->setMinimumWidth(160);
            cue_list_->setToolTip("Time marks of the active document");
            tb->addWidget(cue_list_);
            break;
        case app::BarKind::VolumeIndicator: {
            auto* box = new QWidget(tb);
            auto* l = new QVBoxLayout(box);
            l->setContentsMargins(2, 2, 2, 2);
            l->setSpacing(2);
            volume_indicator_ = new VolumeIndicator(box);
            volume_indicator_->setFixedSize(scaled(132), scaled(34));
            describe(volume_indicator_, 12001);
            // The volume fader: the standard horizontal slider, control 12000.
            fader_ = new QSlider(Qt::Horizontal, box);
            fader_->setObjectName("12000");
            fader_->setRange(0, 255);
            fader_->setTickInterval(10);
            fader_->setTickPosition(QSlider::TicksBelow);
            fader_->setSingleStep(1);
            fader_->setPageStep(10);
            fader_->setFixedWidth(scaled(132));
            fader_->setToolTip("Output volume");
            // The output starts at 128 and the fader shows what the output then reports.
            app::set_master_output_level(128);
            fader_->setValue(app::reported_output_level());
            connect(fader_, &QSlider::valueChanged, this,
                    [](int v) { app::set_master_output_level(v); });
            l->addWidget(volume_indicator_);
            l->addWidget(fader_);
            tb->addWidget(box);
            break;
        }
        case app::BarKind::DbMeter: {
            auto* box = new QWidget(tb);
            auto* l = new QHBoxLayout(box);
            l->setContentsMargins(2, 2, 2, 2);
            l->setSpacing(3);
            left_gauge_ = new DbGauge("L", box);
            right_gauge_ = new DbGauge("R", box);
            for (DbGauge* g : {left_gauge_, right_gauge_}) {
                g->setFixedSize(scaled(24), scaled(130));
                l->addWidget(g);
            }
            describe(left_gauge_, 12100);
            // The table names only the left gauge; the right one says the same of its side.
            right_gauge_->setToolTip("Right channel DB level");
            right_gauge_->setStatusTip("Decibel level of right channel");
            kel::controls::_draw_decibel_gauge_volume(left_gauge_->handle(), 0, 0, 1);
            kel::controls::_draw_decibel_gauge_volume(right_gauge_->handle(), 0, 0, 1);
            tb->addWidget(box);
            break;
        }
        case app::BarKind::Spectrum:
            spectrum_ = new SpectrumIndicator(tb);
            spectrum_->setFixedSize(scaled(132), scaled(60));
            describe(spectrum_, cmd::kSpectrumBlock);
            tb->addWidget(spectrum_);
            break;
        }
    }
    dock_default_layout();
    restore_bar_layout();
}

QToolBar* CMainFrame::bar(int number) const
{
    auto it = bars_.find(number);
    return it == bars_.end() ? nullptr : it->second;
}

QWidget* CMainFrame::transport_bar() const
{
    return bar(2);
}

void CMainFrame::dock_default_layout()
{
    for (auto& [n, tb] : bars_)
        removeToolBar(tb);
    auto put = [this](Qt::ToolBarArea area, int number) {
        if (QToolBar* tb = bar(number)) {
            addToolBar(area, tb);
            tb->show();
        }
    };
    // Tool bars in rows along the top, indicators down the right side.
    for (int n : {0, 1, 4, 2, 7})
        put(Qt::TopToolBarArea, n);
    addToolBarBreak(Qt::TopToolBarArea);
    for (int n : {6, 3, 5})
        put(Qt::TopToolBarArea, n);
    for (int n : {9, 8, 10})
        put(Qt::RightToolBarArea, n);
}

void CMainFrame::restore_bar_layout()
{
    const std::string f = kel::profile::app_profile();
    const std::string saved = kel::profile::read_string("General", "BarLayout", "", f);
    if (!saved.empty())
        restoreState(QByteArray::fromHex(QByteArray::fromStdString(saved)));
    for (auto& [n, tb] : bars_)
        tb->setVisible(app::read_bar_visible(n));
}

void CMainFrame::show_bar(int number, bool visible)
{
    if (QToolBar* tb = bar(number))
        tb->setVisible(visible);
}

} // namespace ui
