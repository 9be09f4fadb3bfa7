#include "editor/ui/preset_dialogs.h"

#include "editor/modules/presets.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace ui {

namespace {

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

QPushButton* push(QWidget* parent, const char* text, int id)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::number(id));
    b->setAutoDefault(false);
    b->setMinimumWidth(80);
    return b;
}

void fill_list(QListWidget* list, const std::vector<std::string>& entries, int selected)
{
    list->clear();
    for (const std::string& e : entries)
        list->addItem(q(e));
    if (selected >= 0 && selected < list->count())
        list->setCurrentRow(selected);
}

// The picture button: a little loudspeaker, since it plays the selection sound.
QIcon speaker_icon()
{
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::black);
    p.setBrush(QColor(40, 40, 160));
    const QPointF cone[] = {{4, 9}, {8, 9}, {14, 4}, {14, 20}, {8, 15}, {4, 15}};
    p.drawPolygon(cone, 6);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(12, 7, 6, 10), -60 * 16, 120 * 16);
    p.drawArc(QRectF(12, 4, 10, 16), -60 * 16, 120 * 16);
    p.end();
    return QIcon(pm);
}

} // namespace

// ---- selection ----------------------------------------------------------------------------

PresetSelectWindow::PresetSelectWindow(PresetSelectDialog& model, QWidget* parent)
    : QDialog(parent), model_(model)
{
    setObjectName("NEWSELECT");
    setWindowTitle(q(model.title));
    auto* outer = new QHBoxLayout(this);

    auto* choose = new QGroupBox("Choose a preset option...", this);
    auto* cl = new QVBoxLayout(choose);
    cl->addWidget(new QLabel("List of preset options:", choose));
    list_ = new QListWidget(choose);
    list_->setObjectName(QString::number(kList));
    list_->setMinimumSize(220, 150);
    cl->addWidget(list_, 1);
    auto* picked_row = new QHBoxLayout;
    picked_row->addWidget(new QLabel("Preset:", choose));
    picked_ = new QLabel(choose);
    picked_->setObjectName(QString::number(kPicked));
    // The picked name: red on an opaque white ground.
    picked_->setAutoFillBackground(true);
    QPalette pal = picked_->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::red);
    picked_->setPalette(pal);
    picked_->setFrameShape(QFrame::Panel);
    picked_->setFrameShadow(QFrame::Sunken);
    picked_->setMinimumHeight(20);
    picked_row->addWidget(picked_, 1);
    cl->addLayout(picked_row);
    auto* choose_buttons = new QHBoxLayout;
    QPushButton* ok = push(choose, "&OK", kOk);
    ok->setDefault(true);
    QPushButton* view = push(choose, "&View", kView);
    QPushButton* del = push(choose, "&Delete", kDelete);
    choose_buttons->addWidget(ok);
    choose_buttons->addWidget(view);
    choose_buttons->addWidget(del);
    cl->addLayout(choose_buttons);
    outer->addWidget(choose, 1);

    auto* right = new QVBoxLayout;
    auto* own = new QGroupBox("... or roll your own", this);
    auto* ol = new QVBoxLayout(own);
    QPushButton* create = push(own, "&Create", kCreate);
    ol->addWidget(create);
    right->addWidget(own);
    auto* picture = new QToolButton(this);
    picture->setObjectName(QString::number(kPicture));
    picture->setIcon(speaker_icon());
    picture->setIconSize(QSize(24, 24));
    right->addWidget(picture, 0, Qt::AlignHCenter);
    right->addStretch(1);
    QPushButton* help = push(this, "&Help", kHelp);
    QPushButton* cancel = push(this, "&Cancel", kCancel);
    right->addWidget(help);
    right->addWidget(cancel);
    outer->addLayout(right);

    fill();

    auto pick = [this](int row) {
        if (filling_ || row < 0)
            return;
        model_.select(row);
        picked_->setText(q(model_.picked_name));
    };
    connect(list_, &QListWidget::currentRowChanged, this, pick);
    connect(list_, &QListWidget::itemClicked, this,
            [this, pick](QListWidgetItem* item) { pick(list_->row(item)); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        model_.double_click(list_->row(item));
        picked_->setText(q(model_.picked_name));
        if (model_.ended())
            QDialog::accept();
    });
    connect(ok, &QPushButton::clicked, this, [this] { after(&PresetSelectDialog::ok); });
    connect(view, &QPushButton::clicked, this, [this] { after(&PresetSelectDialog::view); });
    connect(create, &QPushButton::clicked, this, [this] { after(&PresetSelectDialog::create); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
    connect(help, &QPushButton::clicked, this, [this] { model_.help(); });
    connect(picture, &QToolButton::clicked, this, [this] { model_.picture(); });
    connect(del, &QPushButton::clicked, this, [this] {
        model_.delete_preset();
        fill();
    });
}

QPushButton* PresetSelectWindow::button(int id) const
{
    return findChild<QPushButton*>(QString::number(id));
}

void PresetSelectWindow::fill()
{
    filling_ = true;
    fill_list(list_, model_.entries, model_.selected);
    filling_ = false;
    // The list shows a row as chosen as soon as it has one; that row is the one OK and
    // Return take, so the model picks it too.
    if (model_.picked_name.empty() && list_->count() > 0) {
        const int row = std::clamp(model_.selected, 0, list_->count() - 1);
        list_->setCurrentRow(row);
        model_.select(row);
    }
    if (QListWidgetItem* item = list_->currentItem())
        item->setSelected(true);
    picked_->setText(q(model_.picked_name));
}

void PresetSelectWindow::after(void (PresetSelectDialog::*action)())
{
    (model_.*action)();
    if (model_.ended())
        QDialog::accept();
}

void PresetSelectWindow::reject()
{
    model_.cancel();
    QDialog::reject();
}

int run_preset_select_dialog(kel::DialogModel& m, QWidget* parent)
{
    auto* model = dynamic_cast<PresetSelectDialog*>(&m);
    if (!model) {
        m.end_dialog(kel::kIdCancel);
        return kel::kIdCancel;
    }
    model->on_open();
    PresetSelectWindow w(*model, parent);
    w.exec();
    if (!model->ended())
        model->cancel();
    return model->end_code();
}

// ---- saving -------------------------------------------------------------------------------

PresetSaveWindow::PresetSaveWindow(PresetSaveDialog& model, QWidget* parent)
    : QDialog(parent), model_(model)
{
    setObjectName("SAVE");
    setWindowTitle(q(model.title));
    auto* outer = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel("Save-file name:", this));
    name_ = new QLineEdit(this);
    name_->setObjectName(QString::number(kName));
    name_->setMaxLength(kMaxPresetName);
    left->addWidget(name_);
    list_ = new QListWidget(this);
    list_->setObjectName(QString::number(kList));
    list_->setMinimumSize(220, 150);
    left->addWidget(list_, 1);
    outer->addLayout(left, 1);
    auto* right = new QVBoxLayout;
    QPushButton* save = push(this, "&Save", kSave);
    QPushButton* cancel = push(this, "&Cancel", kCancel);
    QPushButton* help = push(this, "&Help", kHelp);
    save->setDefault(true);
    right->addWidget(save);
    right->addWidget(cancel);
    right->addWidget(help);
    right->addStretch(1);
    outer->addLayout(right);

    fill();
    name_->setText(q(model_.name));

    auto pick = [this](int row) {
        if (filling_ || row < 0)
            return;
        model_.select(row);
        name_->setText(q(model_.name));
    };
    connect(list_, &QListWidget::currentRowChanged, this, pick);
    connect(list_, &QListWidget::itemClicked, this,
            [this, pick](QListWidgetItem* item) { pick(list_->row(item)); });
    connect(name_, &QLineEdit::textChanged, this,
            [this](const QString& text) { model_.set_name(text.toStdString()); });
    connect(name_, &QLineEdit::returnPressed, this, &PresetSaveWindow::save);
    connect(save, &QPushButton::clicked, this, &PresetSaveWindow::save);
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
    connect(help, &QPushButton::clicked, this, [this] { model_.help(); });
}

QPushButton* PresetSaveWindow::button(int id) const
{
    return findChild<QPushButton*>(QString::number(id));
}

void PresetSaveWindow::fill()
{
    filling_ = true;
    fill_list(list_, model_.entries, model_.selected);
    filling_ = false;
}

void PresetSaveWindow::save()
{
    model_.set_name(name_->text().toStdString());
    model_.save();
    if (model_.ended()) {
        QDialog::accept();
        return;
    }
    // Replaced or refused: the list and the name field show what the model now holds.
    fill();
    name_->setText(q(model_.name));
}

void PresetSaveWindow::reject()
{
    model_.cancel();
    QDialog::reject();
}

int run_preset_save_dialog(kel::DialogModel& m, QWidget* parent)
{
    auto* model = dynamic_cast<PresetSaveDialog*>(&m);
    if (!model) {
        m.end_dialog(kel::kIdCancel);
        return kel::kIdCancel;
    }
    model->on_open();
    PresetSaveWindow w(*model, parent);
    w.exec();
    if (!model->ended())
        model->cancel();
    return model->end_code();
}

} // namespace ui
