// Widgets of the pitch and tempo dialogs: the choice of method, the keyboard of two
// octaves (white keys side by side, the black ones over their gaps), and the one-fader
// dialogs with their scale texts and characteristics.
#include "filtrel/ui/pitch_windows.h"

#include "filtrel/pitch_dialogs.h"
#include "filtrel/ui/run_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

using namespace passage_dialog;

namespace filtrel_ui {

namespace {

// OK, Cancel and Help in a row; each calls the model and then the window's follow-up.
QHBoxLayout* button_row(QWidget* parent, const std::function<void(QPushButton*, int)>& add)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    const struct
    {
        int id;
        const char* text;
    } texts[] = {{kOk, "OK"}, {kCancel, "Cancel"}, {kHelp, "Help"}};
    for (const auto& t : texts) {
        auto* b = new QPushButton(QString::fromLatin1(t.text), parent);
        if (t.id == kOk)
            b->setDefault(true);
        row->addWidget(b);
        add(b, t.id);
    }
    return row;
}

} // namespace

HowToChangePitchWindow::HowToChangePitchWindow(HowToChangePitchDialog& model, QWidget* parent)
    : ModelWindow(parent), model_(model)
{
    setWindowTitle(QString::fromLatin1(HowToChangePitchDialog::kCaption));
    setObjectName(QStringLiteral("HOWTOCHANGEPITCH"));
    auto* group = new QGroupBox(QStringLiteral("Constant Tempo"), this);
    auto* inner = new QVBoxLayout(group);
    auto* buttons = new QButtonGroup(this);
    auto add_radio = [&](int id, const char* text, QWidget* owner, QBoxLayout* layout) {
        auto* r = new QRadioButton(QString::fromLatin1(text), owner);
        r->setChecked(model_.choice == id);
        buttons->addButton(r, id);
        layout->addWidget(r);
        remember(id, r);
    };
    add_radio(kFastMethod, "&Fast method", group, inner);
    add_radio(kSlowMethod, "&Slow method", group, inner);
    auto* all = new QVBoxLayout(this);
    all->addWidget(group);
    add_radio(kChangeTempo, "Change &tempo", this, all);
    connect(buttons, &QButtonGroup::idClicked, this, [this](int id) { model_.choose(id); });
    all->addLayout(button_row(this, [this](QPushButton* b, int id) {
        remember(id, b);
        connect(b, &QPushButton::clicked, this, [this, id] {
            if (id == kOk)
                model_.ok();
            else if (id == kCancel)
                model_.cancel();
            else
                model_.help();
            if (model_.ended())
                done(model_.end_code());
        });
    }));
}

void HowToChangePitchWindow::reject()
{
    if (!model_.ended())
        model_.cancel();
    QDialog::done(model_.end_code());
}

KeyboardWindow::KeyboardWindow(KeyboardDialog& model, QWidget* parent)
    : ModelWindow(parent), model_(model)
{
    setWindowTitle(QString::fromLatin1(KeyboardDialog::kCaption));
    setObjectName(QStringLiteral("NEWCHANGEPITCH"));
    auto* all = new QVBoxLayout(this);
    all->addWidget(new QLabel(QString::fromLatin1(KeyboardDialog::kPrompt), this));

    constexpr int kWhiteWidth = 26, kWhiteHeight = 110, kBlackWidth = 16, kBlackHeight = 68;
    auto* keyboard = new QWidget(this);
    int whites = 0;
    for (const PianoKey& k : piano_keys())
        whites += k.black ? 0 : 1;
    keyboard->setFixedSize(whites * kWhiteWidth + 1, kWhiteHeight + 1);
    int white_index = 0;
    std::vector<QPushButton*> blacks;
    for (const PianoKey& k : piano_keys()) {
        auto* b = new QPushButton(keyboard);
        b->setCheckable(true);
        b->setToolTip(QString::fromStdString(k.label));
        if (k.black) {
            b->setGeometry(white_index * kWhiteWidth - kBlackWidth / 2, 0, kBlackWidth,
                           kBlackHeight);
            b->setStyleSheet(QStringLiteral("QPushButton { background: black; border: 1px solid "
                                            "black; } QPushButton:checked { background: red; }"));
            blacks.push_back(b);
        } else {
            b->setGeometry(white_index * kWhiteWidth, 0, kWhiteWidth + 1, kWhiteHeight + 1);
            b->setStyleSheet(
                QStringLiteral("QPushButton { background: white; border: 1px solid black; } "
                               "QPushButton:checked { background: rgb(255,150,150); }"));
            ++white_index;
        }
        keys_[k.id] = b;
        remember(k.id, b);
        const int id = k.id;
        connect(b, &QPushButton::clicked, this, [this, id] {
            model_.choose(id);
            after_event();
        });
    }
    for (QPushButton* b : blacks)
        b->raise();
    all->addWidget(keyboard, 0, Qt::AlignHCenter);

    auto* value_row = new QHBoxLayout;
    value_row->addWidget(new QLabel(QString::fromLatin1(KeyboardDialog::kValueLabel), this));
    shown_ = value_field(this, Qt::red, QStringLiteral("MS Sans Serif"), 8, 110);
    remember(kKeyLabel, shown_);
    value_row->addWidget(shown_);
    value_row->addStretch(1);
    glide_up_ = new QCheckBox(QStringLiteral("Glide &up"), this);
    glide_down_ = new QCheckBox(QStringLiteral("Glide &down"), this);
    remember(kGlideUp, glide_up_);
    remember(kGlideDown, glide_down_);
    for (QCheckBox* box : {glide_up_, glide_down_}) {
        value_row->addWidget(box);
        const int id = box == glide_up_ ? kGlideUp : kGlideDown;
        connect(box, &QCheckBox::clicked, this, [this, id] {
            model_.toggle_glide(id);
            after_event();
        });
    }
    all->addLayout(value_row);
    all->addLayout(button_row(this, [this](QPushButton* b, int id) {
        remember(id, b);
        connect(b, &QPushButton::clicked, this, [this, id] {
            if (id == kOk)
                model_.ok();
            else if (id == kCancel)
                model_.cancel();
            else
                model_.help();
            after_event();
        });
    }));
    refresh();
}

void KeyboardWindow::refresh()
{
    for (auto& [id, b] : keys_)
        b->setChecked(id == model_.chosen);
    shown_->setText(QString::fromStdString(model_.shown));
    glide_up_->setChecked(model_.glide_up());
    glide_down_->setChecked(model_.glide_down());
}

void KeyboardWindow::after_event()
{
    if (model_.ended()) {
        done(model_.end_code());
        return;
    }
    refresh();
}

void KeyboardWindow::reject()
{
    if (!model_.ended())
        model_.cancel();
    QDialog::done(model_.end_code());
}

PassageSliderWindow::PassageSliderWindow(PassageSliderDialog& model, QWidget* parent)
    : ModelWindow(parent), model_(model)
{
    setWindowTitle(QString::fromLatin1(model_.caption()));
    setObjectName(QString::fromLatin1(model_.template_name()));

    // The fader with its scale texts on the left and its value below.
    const std::string group_title = model_.slider_group();
    auto* scale_box = new QGroupBox(QString::fromStdString(group_title), this);
    if (group_title.empty())
        scale_box->setFlat(true);
    auto* grid = new QGridLayout(scale_box);
    slider_ = fader(model_.slider, 170, scale_box, [this](int position) {
        model_.move_slider(position);
        after_event();
    });
    const std::vector<std::string> labels = model_.scale_labels();
    const int rows = static_cast<int>(labels.size());
    for (int i = 0; i < rows; ++i) {
        auto* l = new QLabel(QString::fromStdString(labels[static_cast<size_t>(i)]), scale_box);
        const bool end = i == 0 || i + 1 == rows;
        l->setAlignment(
            Qt::AlignRight |
            (i == 0 ? Qt::AlignTop : (i + 1 == rows ? Qt::AlignBottom : Qt::AlignVCenter)));
        if (end && rows > 2)
            l->setStyleSheet(QStringLiteral("QLabel { font-weight: bold; }"));
        grid->addWidget(l, i, 0);
        grid->setRowStretch(i, 1);
    }
    grid->addWidget(slider_, 0, 1, rows, 1, Qt::AlignHCenter);
    field_ = value_field(scale_box, Qt::red, QStringLiteral("MS Sans Serif"), 8, 60);
    remember(kField, field_);
    grid->addWidget(field_, rows, 0, 1, 2, Qt::AlignHCenter);

    auto* top = new QHBoxLayout;
    top->addWidget(scale_box);
    const auto buttons = model_.characteristic_buttons();
    if (!buttons.empty()) {
        characteristic_ = new QButtonGroup(this);
        auto* column = new QVBoxLayout;
        const auto groups = model_.characteristic_groups();
        QGroupBox* box = nullptr;
        QVBoxLayout* inner = nullptr;
        for (size_t i = 0; i < buttons.size(); ++i) {
            // The first group holds the constant choice alone when there are two groups.
            const size_t g = groups.size() > 1 && i > 0 ? 1 : 0;
            if (!box || (i == 1 && groups.size() > 1)) {
                box = new QGroupBox(QString::fromStdString(groups[g]), this);
                inner = new QVBoxLayout(box);
                column->addWidget(box);
            }
            auto* r = new QRadioButton(QString::fromStdString(buttons[i].second), box);
            characteristic_->addButton(r, buttons[i].first);
            inner->addWidget(r);
            remember(buttons[i].first, r);
        }
        column->addStretch(1);
        top->addLayout(column);
        connect(characteristic_, &QButtonGroup::idClicked, this, [this](int id) {
            model_.choose_characteristic(id);
            after_event();
        });
    }
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(button_row(this, [this](QPushButton* b, int id) {
        remember(id, b);
        connect(b, &QPushButton::clicked, this, [this, id] {
            if (id == kOk)
                model_.ok();
            else if (id == kCancel)
                model_.cancel();
            else
                model_.help();
            after_event();
        });
    }));
    refresh();
}

void PassageSliderWindow::refresh()
{
    show_fader(slider_, model_.slider);
    field_->setText(QString::fromStdString(model_.field));
    if (characteristic_)
        if (QAbstractButton* b = characteristic_->button(model_.checked_characteristic()))
            b->setChecked(true);
}

void PassageSliderWindow::after_event()
{
    if (model_.ended()) {
        done(model_.end_code());
        return;
    }
    refresh();
}

void PassageSliderWindow::reject()
{
    if (!model_.ended())
        model_.cancel();
    QDialog::done(model_.end_code());
}

} // namespace filtrel_ui

using filtrel_ui::run_window;

int run_how_to_change_pitch_dialog(kel::DialogModel& model, QWidget* parent)
{
    return run_window<HowToChangePitchDialog, filtrel_ui::HowToChangePitchWindow>(model, parent);
}

int run_keyboard_dialog(kel::DialogModel& model, QWidget* parent)
{
    return run_window<KeyboardDialog, filtrel_ui::KeyboardWindow>(model, parent);
}

int run_passage_slider_dialog(kel::DialogModel& model, QWidget* parent)
{
    return run_window<PassageSliderDialog, filtrel_ui::PassageSliderWindow>(model, parent);
}
