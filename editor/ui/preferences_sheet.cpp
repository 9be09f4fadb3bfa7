#include "editor/ui/preferences_sheet.h"

#include "common/child_frame.h"
#include "editor/app/app_profile.h"
#include "editor/app/commands.h"
#include "editor/app/preferences.h"
#include "editor/app/startup_dialogs.h"
#include "editor/commands/command_ids.h"
#include "editor/document/undo_history.h"
#include "editor/document/undo_preferences.h"
#include "editor/ui/main_frame.h"
#include "editor/view/time_text.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/ui.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace ui {

namespace {

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

QColor color_of(uint32_t rgb)
{
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

template <class W> W* named(W* w, int id)
{
    w->setObjectName(QString::number(id));
    return w;
}

// The "Options" check boxes and the preference each one edits.
struct OptionBox
{
    int control;
    const char* text;
    bool app::Preferences::*field;
};
constexpr OptionBox kOptionBoxes[] = {
    {1812, "&Zoomed startup display", &app::Preferences::zoomed_initial_display},
    {437, "Enable &undo operation", &app::Preferences::backup_for_undo},
    {438, "&Voice message", &app::Preferences::voice_message},
    {447, "&Big time display", &app::Preferences::big_time_display},
    {269, "&Enter marker while playing", &app::Preferences::marker_name_on_the_fly},
    {270, "Show &tip of the day", &app::Preferences::tip_of_the_day},
};

// The "Toolbars" check boxes: control and the bar's internal number.
struct BarBox
{
    int control;
    const char* text;
    int bar;
};
constexpr BarBox kBarBoxes[] = {
    {902, "&File toolbar", 0},     {903, "&Edit toolbar", 1},      {904, "&Transport toolbar", 2},
    {905, "E&ffects toolbar", 3},  {906, "&Undo toolbar", 4},      {907, "&Time-marks toolbar", 5},
    {908, "&Cursor toolbar", 6},   {909, "Cu&elist toolbar", 7},   {910, "&Volume toolbar", 8},
    {911, "D&B Gauge toolbar", 9}, {912, "&Spectrum toolbar", 10},
};

// Help contexts of the pages, in page order (0: the page's own "&Help" or none).
constexpr long kHelpContexts[7] = {1405, 100, 600, 200, 0, 1027, 0};

QString characteristics(const app::DeviceLine& l)
{
    QStringList parts;
    for (const std::string* s : {&l.channels, &l.bits, &l.rate, &l.version})
        if (!s->empty())
            parts << q(*s);
    return parts.join("\n");
}

} // namespace

PreferencesSheet::PreferencesSheet(CMainFrame* frame, QWidget* parent)
    : QDialog(parent ? parent : frame), frame_(frame)
{
    setObjectName("PREFERENCES");
    setWindowTitle("Preferences");
    colors_ = colors_kept_ = view_colors();
    time_format_ = time_format_kept_ = time_format();
    app::g_preferences.time_format = time_format_;

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("tabs");
    // All seven titles in view: the sheet grows to them rather than scrolling.
    tabs_->setUsesScrollButtons(false);
    const struct
    {
        QWidget* (PreferencesSheet::*make)();
        const char* title;
        int id;
    } pages[] = {
        {&PreferencesSheet::colors_page, "Colors", 139},
        {&PreferencesSheet::time_format_page, "Time Format", 140},
        {&PreferencesSheet::options_page, "Options", 141},
        {&PreferencesSheet::startup_page, "Startup", 142},
        {&PreferencesSheet::toolbars_page, "Toolbars", 143},
        {&PreferencesSheet::wave_page, "Wave Devices", 144},
        {&PreferencesSheet::midi_page, "Midi Devices", 145},
    };
    for (const auto& p : pages) {
        QWidget* page = (this->*p.make)();
        page->setObjectName(QString::number(p.id));
        pages_.push_back(page);
        tabs_->addTab(page, p.title);
    }

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    buttons->setObjectName("buttons");
    connect(buttons, &QDialogButtonBox::accepted, this, &PreferencesSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PreferencesSheet::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, &PreferencesSheet::help);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
    show_device_characteristics();
}

QWidget* PreferencesSheet::control(int page, int id) const
{
    if (page < 0 || page >= static_cast<int>(pages_.size()))
        return nullptr;
    return pages_[page]->findChild<QWidget*>(QString::number(id));
}

void PreferencesSheet::send(int id, long param)
{
    if (frame_)
        frame_->on_command(id, param);
}

void PreferencesSheet::help()
{
    const long context = kHelpContexts[tabs_->currentIndex()];
    kel::ui().open_help(kel::paths::program_dir() + "Orlo.HLP", context);
}

// ---- Colors ---------------------------------------------------------------------------

QWidget* PreferencesSheet::colors_page()
{
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    auto* targets = new QGroupBox("Color of", page);
    auto* target_layout = new QVBoxLayout(targets);
    color_target_ = new QButtonGroup(page);
    for (const app::ColorTarget& t : app::color_targets()) {
        auto* r = named(new QRadioButton(t.text, targets), t.control);
        color_target_->addButton(r, t.control);
        target_layout->addWidget(r);
    }
    color_target_->button(298)->setChecked(true);
    color_preview_ = new QLabel(targets);
    color_preview_->setObjectName("preview");
    color_preview_->setMinimumSize(48, 20);
    color_preview_->setFrameShape(QFrame::Box);
    target_layout->addWidget(color_preview_);
    target_layout->addStretch(1);
    layout->addWidget(targets);

    auto* right = new QVBoxLayout;
    auto* swatches = new QGroupBox("Colors", page);
    auto* grid = new QGridLayout(swatches);
    for (int i = 0; i < kNamedColorCount; ++i) {
        const NamedColor& c = named_colors()[i];
        auto* b = named(new QToolButton(swatches), 301 + i);
        b->setToolTip(c.name);
        b->setAccessibleName(c.name);
        b->setMinimumSize(28, 28);
        b->setAutoRaise(false);
        b->setStyleSheet(QString("QToolButton { background-color: %1; border: 1px solid #404040; }")
                             .arg(color_of(c.rgb).name()));
        const uint32_t rgb = c.rgb;
        connect(b, &QToolButton::clicked, this, [this, rgb] {
            for (const app::ColorTarget& t : app::color_targets())
                if (t.control == color_target_->checkedId())
                    colors_.*t.field = rgb;
            apply_colors();
        });
        grid->addWidget(b, i / 4, i % 4);
    }
    right->addWidget(swatches);
    auto* row = new QHBoxLayout;
    auto* save = named(new QPushButton("&Save", page), 317);
    auto* defaults = named(new QPushButton("&Default", page), 1029);
    auto* help = named(new QPushButton("&Help", page), 1405);
    row->addWidget(save);
    row->addWidget(defaults);
    row->addWidget(help);
    right->addLayout(row);
    right->addStretch(1);
    layout->addLayout(right, 1);

    connect(color_target_, &QButtonGroup::idClicked, this, [this] { apply_colors(); });
    connect(save, &QPushButton::clicked, this, [this] {
        app::write_view_colors(colors_);
        colors_kept_ = colors_;
    });
    connect(defaults, &QPushButton::clicked, this, [this] {
        colors_ = ViewColors{};
        apply_colors();
    });
    connect(help, &QPushButton::clicked, this,
            [this] { kel::ui().open_help(kel::paths::program_dir() + "Orlo.HLP", 1405); });
    // The preview shows the colour of the chosen target, before any change.
    QTimer::singleShot(0, this, [this] {
        for (const app::ColorTarget& t : app::color_targets())
            if (t.control == color_target_->checkedId())
                color_preview_->setStyleSheet(
                    QString("background-color: %1").arg(color_of(colors_.*t.field).name()));
    });
    return page;
}

void PreferencesSheet::apply_colors()
{
    view_colors() = colors_;
    for (const app::ColorTarget& t : app::color_targets())
        if (t.control == color_target_->checkedId())
            color_preview_->setStyleSheet(
                QString("background-color: %1").arg(color_of(colors_.*t.field).name()));
    send(cmd::kUpdateDisplay);
}

// ---- Time Format ----------------------------------------------------------------------

QWidget* PreferencesSheet::time_format_page()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* box = new QGroupBox("Time format", page);
    auto* inner = new QVBoxLayout(box);
    // Both SMPTE 30 buttons store 30, so they show checked together: not exclusive.
    time_buttons_ = new QButtonGroup(page);
    time_buttons_->setExclusive(false);
    for (const app::TimeFormatButton& b : app::time_format_buttons()) {
        auto* r = named(new QRadioButton(b.text, box), b.control);
        time_buttons_->addButton(r, b.control);
        inner->addWidget(r);
        const int value = b.value;
        connect(r, &QRadioButton::clicked, this, [this, value] {
            time_format_ = value;
            app::g_preferences.time_format = value;
            set_time_format(value);
            show_time_format(value);
            send(cmd::kUpdateDisplay);
            send(cmd::kRedrawDocument);
        });
    }
    layout->addWidget(box);
    layout->addStretch(1);
    show_time_format(time_format_);
    return page;
}

void PreferencesSheet::show_time_format(int value)
{
    for (const app::TimeFormatButton& b : app::time_format_buttons())
        time_buttons_->button(b.control)->setChecked(b.value == value);
}

// ---- Options --------------------------------------------------------------------------

QWidget* PreferencesSheet::options_page()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    int row = 0;
    for (const OptionBox& o : kOptionBoxes) {
        auto* c = named(new QCheckBox(o.text, page), o.control);
        c->setChecked(app::g_preferences.*o.field);
        grid->addWidget(c, row, 0);
        if (o.control == 437) {
            undo_check_ = c;
            auto* levels = new QHBoxLayout;
            auto* label = new QLabel("Undo &levels:", page);
            undo_levels_ = new QSpinBox(page);
            undo_levels_->setObjectName("undo_levels");
            undo_levels_->setRange(1, app::kMaxUndoLevels);
            undo_levels_->setValue(::undo_levels());
            label->setBuddy(undo_levels_);
            levels->addWidget(label);
            levels->addWidget(undo_levels_);
            // What the steps kept for undo take on disk now, so a deep history is a choice.
            auto* held = new QLabel(
                QString("History on disk: %1 KB").arg(undo_history_bytes() / 1024), page);
            held->setObjectName("undo_history_bytes");
            levels->addWidget(held);
            levels->addStretch(1);
            grid->addLayout(levels, row, 1);
            undo_levels_->setEnabled(c->isChecked());
            connect(c, &QCheckBox::toggled, undo_levels_, &QSpinBox::setEnabled);
        }
        ++row;
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);
    return page;
}

// ---- Startup --------------------------------------------------------------------------

QWidget* PreferencesSheet::startup_page()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* logo = new QGroupBox("Logo", page);
    auto* logo_layout = new QHBoxLayout(logo);
    auto* show_logo = named(new QCheckBox("Display on s&tartup", logo), 435);
    show_logo->setChecked(app::g_preferences.show_logo);
    auto* now = named(new QPushButton("Display &now", logo), 436);
    logo_layout->addWidget(show_logo);
    logo_layout->addStretch(1);
    logo_layout->addWidget(now);
    layout->addWidget(logo);

    auto* data = new QGroupBox("Working files", page);
    auto* data_layout = new QGridLayout(data);
    auto* choose = named(new QPushButton("&Data directory", data), 1030);
    data_dir_ = new QLabel(q(data_directory()), data);
    data_dir_->setObjectName("data_directory");
    data_dir_->setWordWrap(true);
    data_dir_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    data_layout->addWidget(choose, 0, 0, Qt::AlignTop);
    data_layout->addWidget(data_dir_, 0, 1);
    data_layout->setColumnStretch(1, 1);
    layout->addWidget(data);
    layout->addStretch(1);

    connect(now, &QPushButton::clicked, this, [this] {
        // Shown until the user clicks it, with the sheet out of the way.
        hide();
        app::LogoDialog logo(false);
        kel::ui().run_modal(logo);
        show();
    });
    connect(choose, &QPushButton::clicked, this, [this] {
        if (app::choose_data_directory())
            data_dir_->setText(q(data_directory()));
    });
    return page;
}

// ---- Toolbars -------------------------------------------------------------------------

QWidget* PreferencesSheet::toolbars_page()
{
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    auto* bars = new QGroupBox("Show", page);
    auto* grid = new QGridLayout(bars);
    int i = 0;
    for (const BarBox& b : kBarBoxes) {
        auto* c = named(new QCheckBox(b.text, bars), b.control);
        QToolBar* tb = frame_ ? frame_->bar(b.bar) : nullptr;
        c->setChecked(tb ? !tb->isHidden() : app::read_bar_visible(b.bar));
        grid->addWidget(c, i % 6, i / 6);
        ++i;
        const int number = b.bar;
        connect(c, &QCheckBox::toggled, this, [this, number](bool on) {
            QToolBar* bar = frame_ ? frame_->bar(number) : nullptr;
            if (bar && bar->isHidden() == on) {
                send(cmd::kShowHideBar, number);
                send(cmd::kUpdateDisplay);
            }
            app::write_bar_state(number, on, bar && bar->isFloating());
            if (!on)
                default_setup_->setChecked(false);
        });
    }
    layout->addWidget(bars, 1);

    auto* other = new QVBoxLayout;
    default_setup_ = named(new QCheckBox("&Default setup", page), 913);
    auto* tips = named(new QCheckBox("&Tooltips", page), 22);
    tips->setChecked(frame_ ? frame_->tool_tips() : app::read_general_flags().tool_tips != 0);
    auto* big = named(new QCheckBox("Big volume &indicators", page), 23);
    big->setChecked(app::g_preferences.big_volume_indicators);
    other->addWidget(default_setup_);
    other->addWidget(tips);
    other->addWidget(big);
    other->addStretch(1);
    layout->addLayout(other);

    connect(default_setup_, &QCheckBox::clicked, this, [this, page, big](bool on) {
        if (!on)
            return;
        app::forget_bar_layout();
        {
            const QSignalBlocker block(big);
            big->setChecked(true);
        }
        for (const BarBox& b : kBarBoxes)
            if (auto* c = page->findChild<QCheckBox*>(QString::number(b.control))) {
                const QSignalBlocker block(c);
                c->setChecked(true);
            }
        send(cmd::kDefaultBarLayout);
        send(cmd::kUpdateDisplay);
    });
    connect(tips, &QCheckBox::toggled, this, [this](bool on) {
        if (frame_)
            frame_->set_tool_tips(on);
        app::GeneralFlags flags = app::read_general_flags();
        flags.tool_tips = on ? 1 : 0;
        app::write_general_flags(flags);
        send(cmd::kApplyToolTips);
    });
    connect(big, &QCheckBox::toggled, this, [this](bool on) {
        app::g_preferences.big_volume_indicators = on;
        kel::profile::write_yes_no("Preferences", "Big volume indicators", on,
                                   kel::profile::app_profile());
        kel::ui().message_box("Please restart Kelvara to show new size", "Kelvara",
                              kel::Buttons::Ok, kel::Icon::Information);
    });
    return page;
}

// ---- Devices --------------------------------------------------------------------------

namespace {

QComboBox* device_combo(QWidget* parent, int id, const std::vector<app::DeviceLine>& lines,
                        int chosen)
{
    auto* c = named(new QComboBox(parent), id);
    for (const app::DeviceLine& l : lines)
        c->addItem(q(l.name));
    if (c->count() == 0) {
        c->addItem("(no device)");
        c->setEnabled(false);
    }
    c->setCurrentIndex(chosen >= 0 && chosen < c->count() ? chosen : 0);
    c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    c->setMinimumContentsLength(24);
    return c;
}

QLabel* characteristics_label(QWidget* parent, const char* name)
{
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setMinimumWidth(110);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

} // namespace

QWidget* PreferencesSheet::wave_page()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->addWidget(new QLabel("Wave input device:", page), 0, 0);
    wave_in_ =
        device_combo(page, 394, app::wave_input_lines(), app::g_preferences.default_wave_input);
    wave_in_text_ = characteristics_label(page, "wave_in_caps");
    grid->addWidget(wave_in_, 1, 0, Qt::AlignTop);
    grid->addWidget(wave_in_text_, 1, 1);
    grid->addWidget(new QLabel("Wave output device:", page), 2, 0);
    wave_out_ =
        device_combo(page, 401, app::wave_output_lines(), app::g_preferences.default_wave_output);
    wave_out_text_ = characteristics_label(page, "wave_out_caps");
    grid->addWidget(wave_out_, 3, 0, Qt::AlignTop);
    grid->addWidget(wave_out_text_, 3, 1);
    auto* save = named(new QPushButton("&Save default", page), 913);
    grid->addWidget(save, 4, 0, Qt::AlignLeft);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(1, 1);
    for (QComboBox* c : {wave_in_, wave_out_})
        connect(c, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] {
            QTimer::singleShot(50, this, [this] { show_device_characteristics(); });
        });
    connect(save, &QPushButton::clicked, this, [this] {
        app::g_preferences.default_wave_input = std::max(0, wave_in_->currentIndex());
        app::g_preferences.default_wave_output = std::max(0, wave_out_->currentIndex());
        const std::string f = kel::profile::app_profile();
        kel::profile::write_int("Preferences", "Default Wave input device",
                                app::g_preferences.default_wave_input, f);
        kel::profile::write_int("Preferences", "Default Wave output device",
                                app::g_preferences.default_wave_output, f);
    });
    return page;
}

QWidget* PreferencesSheet::midi_page()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->addWidget(new QLabel("MIDI input device:", page), 0, 0);
    midi_in_ =
        device_combo(page, 394, app::midi_input_lines(), app::g_preferences.default_midi_input);
    midi_in_text_ = characteristics_label(page, "midi_in_caps");
    grid->addWidget(midi_in_, 1, 0, Qt::AlignTop);
    grid->addWidget(midi_in_text_, 1, 1);
    grid->addWidget(new QLabel("MIDI output device:", page), 2, 0);
    midi_out_ =
        device_combo(page, 401, app::midi_output_lines(), app::g_preferences.default_midi_output);
    midi_out_text_ = characteristics_label(page, "midi_out_caps");
    grid->addWidget(midi_out_, 3, 0, Qt::AlignTop);
    grid->addWidget(midi_out_text_, 3, 1);
    auto* save = named(new QPushButton("&Save default", page), 913);
    grid->addWidget(save, 4, 0, Qt::AlignLeft);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(1, 1);
    for (QComboBox* c : {midi_in_, midi_out_})
        connect(c, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] {
            QTimer::singleShot(50, this, [this] { show_device_characteristics(); });
        });
    connect(save, &QPushButton::clicked, this, [this] {
        app::g_preferences.default_midi_input =
            static_cast<short>(std::max(0, midi_in_->currentIndex()));
        app::g_preferences.default_midi_output =
            static_cast<short>(std::max(0, midi_out_->currentIndex()));
        const std::string f = kel::profile::app_profile();
        kel::profile::write_int("Preferences", "Default Midi input device",
                                app::g_preferences.default_midi_input, f);
        kel::profile::write_int("Preferences", "Default Midi output device",
                                app::g_preferences.default_midi_output, f);
    });
    return page;
}

void PreferencesSheet::show_device_characteristics()
{
    const struct
    {
        QComboBox* combo;
        QLabel* label;
        std::vector<app::DeviceLine> (*lines)();
    } rows[] = {
        {wave_in_, wave_in_text_, &app::wave_input_lines},
        {wave_out_, wave_out_text_, &app::wave_output_lines},
        {midi_in_, midi_in_text_, &app::midi_input_lines},
        {midi_out_, midi_out_text_, &app::midi_output_lines},
    };
    for (const auto& r : rows) {
        const std::vector<app::DeviceLine> lines = r.lines();
        const int i = r.combo->currentIndex();
        r.label->setText(i >= 0 && i < static_cast<int>(lines.size()) ? characteristics(lines[i])
                                                                      : QString());
    }
}

QString PreferencesSheet::device_text(int page, int combo) const
{
    if (page == 5)
        return (combo == 394 ? wave_in_text_ : wave_out_text_)->text();
    return (combo == 394 ? midi_in_text_ : midi_out_text_)->text();
}

// ---- OK and Cancel --------------------------------------------------------------------

void PreferencesSheet::accept()
{
    // "Options", "Startup" and "Time Format" are written as the sheet closes.
    for (const OptionBox& o : kOptionBoxes)
        if (auto* c = qobject_cast<QCheckBox*>(control(2, o.control)))
            app::g_preferences.*o.field = c->isChecked();
    if (auto* c = qobject_cast<QCheckBox*>(control(3, 435)))
        app::g_preferences.show_logo = c->isChecked();
    app::g_preferences.time_format = time_format_;
    app::write_preferences(app::g_preferences);
    set_undo_levels(undo_levels_->value());
    undo_preferences().backup_for_undo = app::g_preferences.backup_for_undo;
    undo_preferences().voice_message = app::g_preferences.voice_message;
    QDialog::accept();
}

void PreferencesSheet::reject()
{
    // What took effect at once without being written goes back.
    if (time_format_ != time_format_kept_) {
        set_time_format(time_format_kept_);
        app::g_preferences.time_format = time_format_kept_;
        send(cmd::kUpdateDisplay);
    }
    view_colors() = colors_kept_;
    send(cmd::kUpdateDisplay);
    QDialog::reject();
}

void show_preferences(CMainFrame* frame)
{
    PreferencesSheet sheet(frame);
    sheet.exec();
}

} // namespace ui
