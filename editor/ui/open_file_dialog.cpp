#include "editor/ui/open_file_dialog.h"

#include "editor/files/file_commands.h"
#include "editor/files/info_chunk.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

namespace {

QLabel* value_field(QWidget* parent, int id)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QString::number(id));
    l->setMinimumWidth(170);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

} // namespace

OpenFileDialog::OpenFileDialog(QWidget* parent, const QString& caption, const QString& directory,
                               const QString& filter)
    : QFileDialog(parent, caption, directory, filter)
{
    setObjectName("OPENFILE");
    // The panel lives inside the dialog, so it has to be Qt's own dialog.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);

    panel_ = new QGroupBox("  File specs   ", this);
    panel_->setObjectName("filespecs");
    auto* grid = new QGridLayout(panel_);
    date_ = value_field(panel_, kDate);
    length_ = value_field(panel_, kLength);
    format_ = value_field(panel_, kFormat);
    type_ = value_field(panel_, kType);
    const struct
    {
        const char* label;
        QLabel* value;
    } rows[] = {{"Date:", date_}, {"Length:", length_}, {"Format:", format_}, {"Type:", type_}};
    int row = 0;
    for (const auto& r : rows) {
        grid->addWidget(new QLabel(r.label, panel_), row, 0, Qt::AlignRight);
        grid->addWidget(r.value, row, 1);
        ++row;
    }
    play_ = new QPushButton("&Play.", panel_);
    play_->setObjectName(QString::number(kPlay));
    more_ = new QPushButton("&More...", panel_);
    more_->setObjectName(QString::number(kMore));
    more_->setToolTip("The items of the file's INFO list");
    play_->setEnabled(false);
    more_->setEnabled(false);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(play_);
    buttons->addWidget(more_);
    buttons->addStretch(1);
    grid->addLayout(buttons, 0, 2, 4, 1);
    grid->setColumnStretch(1, 1);

    // Qt's own dialog lays itself out on a grid; the panel goes under everything.
    if (auto* layout = qobject_cast<QGridLayout*>(this->layout()))
        layout->addWidget(panel_, layout->rowCount(), 0, 1, layout->columnCount());

    connect(this, &QFileDialog::currentChanged, this, &OpenFileDialog::file_selected);
    // The name field follows the selection (and selectFile), which currentChanged does
    // not always report.
    if (auto* name = findChild<QLineEdit*>("fileNameEdit")) {
        connect(name, &QLineEdit::textChanged, this, [this](const QString& text) {
            if (text.isEmpty() || text.startsWith('"')) {
                file_selected(QString());
                return;
            }
            const QString path =
                QFileInfo(text).isAbsolute() ? text : this->directory().filePath(text);
            if (path != shown_)
                file_selected(path);
        });
    }
    connect(play_, &QPushButton::clicked, this, &OpenFileDialog::play_pressed);
    connect(more_, &QPushButton::clicked, this, &OpenFileDialog::more_pressed);
}

void OpenFileDialog::more_pressed()
{
    if (shown_.isEmpty())
        return;
    // The file is not open, so its items are shown, not changed: they are edited once
    // the file is opened.
    InfoState state;
    if (info_read_wave_file(shown_.toStdString(), state) == kInfoRefused)
        return;
    InfoEditDialog viewer(state);
    viewer.read_only = true;
    kel::ui().run_modal(viewer);
}

OpenFileDialog::~OpenFileDialog() = default;

QLabel* OpenFileDialog::field(int id) const
{
    switch (id) {
    case kDate:
        return date_;
    case kLength:
        return length_;
    case kFormat:
        return format_;
    case kType:
        return type_;
    default:
        return nullptr;
    }
}

void OpenFileDialog::file_selected(const QString& path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        play_->setEnabled(false);
        more_->setEnabled(false);
        shown_.clear();
        return;
    }
    shown_ = path;
    const FileSpecs specs = describe_file_for_open_dialog(path.toStdString());
    length_->setText(QString::fromStdString(specs.length));
    if (!specs.date.empty())
        date_->setText(QString::fromStdString(specs.date));
    if (!specs.buttons_enabled) {
        play_->setEnabled(false);
        more_->setEnabled(false);
        type_->setText(QString::fromStdString(specs.type));
        format_->setText(QString::fromStdString(specs.format));
        return;
    }
    play_->setEnabled(true);
    more_->setEnabled(true);
    // Whatever was being heard belongs to the file selected before.
    preview_.close();
    preview_.open(path.toStdString());
    if (specs.type.empty())
        return;
    type_->setText(QString::fromStdString(specs.type));
    format_->setText(QString::fromStdString(specs.format));
}

void OpenFileDialog::play_pressed()
{
    if (preview_.playing()) {
        preview_.stop();
        play_->setText("&Play");
    } else {
        preview_.play();
        play_->setText("&Stop");
    }
}

void OpenFileDialog::done(int result)
{
    preview_.close();
    QFileDialog::done(result);
}

} // namespace ui
