#include "editor/ui/info_edit_window.h"

#include "editor/files/info_chunk.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace ui {

namespace {

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

struct CommonField
{
    int control;
    const char* label;
};
constexpr CommonField kFields[] = {
    {1001, "ARTIST"},   {1004, "COPYRIGHT"}, {1005, "CREATION DATE"},
    {1009, "ENGINEER"}, {1017, "SUBJECT"},   {1003, "COMMENTS"},
};

} // namespace

InfoEditWindow::InfoEditWindow(InfoEditDialog& model, QWidget* parent)
    : QDialog(parent), model_(model)
{
    setObjectName("DLG_INFOEDIT");
    setWindowTitle(InfoEditDialog::kTitle);
    auto* layout = new QVBoxLayout(this);

    auto* common = new QGroupBox(this);
    auto* grid = new QGridLayout(common);
    int row = 0;
    for (const CommonField& f : kFields) {
        auto* edit = new QLineEdit(q(model.field_text(f.control)), common);
        edit->setObjectName(QString::number(f.control));
        edit->setMinimumWidth(320);
        edit->setReadOnly(model.read_only);
        edit->installEventFilter(this);
        auto* label = new QLabel(QString(f.label) + ":", common);
        label->setBuddy(edit);
        grid->addWidget(label, row, 0, Qt::AlignRight);
        grid->addWidget(edit, row, 1);
        fields_.push_back(edit);
        ++row;
    }
    grid->setColumnStretch(1, 1);
    layout->addWidget(common);

    auto* all = new QGroupBox(this);
    auto* all_grid = new QGridLayout(all);
    items_ = new QComboBox(all);
    items_->setObjectName("100");
    // The lines are laid out in columns, so they want a fixed-pitch font.
    items_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text_ = new QLineEdit(all);
    text_->setObjectName("102");
    text_->setReadOnly(model.read_only);
    text_->installEventFilter(this);
    description_ = new QPlainTextEdit(all);
    description_->setObjectName("101");
    description_->setReadOnly(true);
    description_->setMaximumHeight(description_->fontMetrics().lineSpacing() * 4);
    all_grid->addWidget(new QLabel("ITEM:", all), 0, 0, Qt::AlignRight);
    all_grid->addWidget(items_, 0, 1);
    all_grid->addWidget(new QLabel("* item contains data", all), 0, 2);
    all_grid->addWidget(new QLabel("TEXT:", all), 1, 0, Qt::AlignRight);
    all_grid->addWidget(text_, 1, 1, 1, 2);
    all_grid->addWidget(description_, 2, 1, 1, 2);
    all_grid->setColumnStretch(1, 1);
    layout->addWidget(all);

    auto* buttons = new QDialogButtonBox(
        model.read_only ? QDialogButtonBox::Ok : QDialogButtonBox::Ok | QDialogButtonBox::Cancel,
        this);
    connect(buttons, &QDialogButtonBox::accepted, this, &InfoEditWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &InfoEditWindow::reject);
    layout->addWidget(buttons);

    refresh_list();
    show_chosen();
    connect(items_, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        model_.choose_item(index);
        show_chosen();
    });
    // An artist of fewer than two characters reads "Unknown", as a hint only: taken as a
    // text it would be written into the file.
    QTimer::singleShot(150, this, [this] {
        if (model_.artist_placeholder())
            field(1001)->setPlaceholderText("Unknown");
    });
}

QLineEdit* InfoEditWindow::field(int control) const
{
    for (QLineEdit* e : fields_)
        if (e->objectName() == QString::number(control))
            return e;
    return nullptr;
}

void InfoEditWindow::refresh_list()
{
    const std::vector<std::string> lines = model_.item_lines();
    const QSignalBlocker block(items_);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (static_cast<int>(i) < items_->count())
            items_->setItemText(static_cast<int>(i), q(lines[i]));
        else
            items_->addItem(q(lines[i]));
    }
    items_->setCurrentIndex(model_.chosen_item);
}

void InfoEditWindow::show_chosen()
{
    text_->setText(q(model_.chosen_text()));
    description_->setPlainText(q(model_.chosen_description()));
}

void InfoEditWindow::take_field(QLineEdit* edit)
{
    const std::string text = edit->text().toStdString();
    if (edit == text_) {
        model_.text_left(text);
        // The common field of the same item shows the new text too.
        if (QLineEdit* same = field(1000 + model_.chosen_item))
            same->setText(q(model_.field_text(1000 + model_.chosen_item)));
    } else {
        const int control = edit->objectName().toInt();
        model_.field_left(control, text);
        if (control - 1000 == model_.chosen_item)
            text_->setText(q(model_.chosen_text()));
    }
    refresh_list();
}

bool InfoEditWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && !model_.ended())
        if (auto* edit = qobject_cast<QLineEdit*>(watched))
            take_field(edit);
    return QDialog::eventFilter(watched, event);
}

void InfoEditWindow::accept()
{
    // The field being typed in has not lost its focus yet.
    if (auto* edit = qobject_cast<QLineEdit*>(focusWidget()))
        take_field(edit);
    model_.ok();
    QDialog::accept();
}

void InfoEditWindow::reject()
{
    model_.cancel();
    QDialog::reject();
}

int run_info_edit_dialog(kel::DialogModel& m, QWidget* parent)
{
    auto* model = dynamic_cast<InfoEditDialog*>(&m);
    if (!model) {
        m.end_dialog(kel::kIdCancel);
        return kel::kIdCancel;
    }
    model->on_open();
    InfoEditWindow w(*model, parent);
    w.exec();
    if (!model->ended())
        model->cancel();
    return model->end_code();
}

} // namespace ui
