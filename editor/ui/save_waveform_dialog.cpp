#include "editor/ui/save_waveform_dialog.h"

#include "editor/files/file_commands.h"
#include "editor/files/info_chunk.h"
#include "editor/ui/qt_ui.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ui {

namespace {

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

// One column of the Attributes group: a heading and its radio buttons.
QButtonGroup* radio_column(QWidget* box, QGridLayout* grid, int column, const char* heading,
                           std::initializer_list<std::pair<const char*, int>> items, int current)
{
    auto* group = new QButtonGroup(box);
    grid->addWidget(new QLabel(heading, box), 0, column);
    int row = 1;
    for (const auto& [text, value] : items) {
        auto* r = new QRadioButton(text, box);
        r->setObjectName(QString("attr_%1").arg(value));
        group->addButton(r, value);
        r->setChecked(value == current);
        grid->addWidget(r, row++, column);
    }
    return group;
}

} // namespace

SaveWaveformWindow::SaveWaveformWindow(SaveAsDialog& model, QWidget* parent)
    : QFileDialog(parent, q(model.title), q(model.directory)), model_(model)
{
    setObjectName("SAVEWAVEFORM");
    // The Attributes group lives inside the dialog, so it has to be Qt's own dialog.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setNameFilter(QtUi::qt_filter(model.filter));
    if (!model.file_name.empty())
        selectFile(q(model.file_name));

    auto* box = new QGroupBox("Attributes", this);
    box->setObjectName("attributes");
    auto* grid = new QGridLayout(box);
    rates_ = radio_column(box, grid, 0, "Sample rate:",
                          {{"&11.025 kHz", 11025}, {"&22.050 kHz", 22050}, {"&44.100 kHz", 44100}},
                          static_cast<int>(model.rate));
    bits_ = radio_column(box, grid, 1, "Bits Per Sample:", {{"&8 bits", 8}, {"1&6 bits", 16}},
                         model.bits);
    channels_ =
        radio_column(box, grid, 2, "Channels:", {{"&Mono", 1}, {"&Stereo", 2}}, model.channels);
    compression_ =
        radio_column(box, grid, 3,
                     "Compression:", {{"&Standard PCM format", 0}, {"&Compressed ADPCM format", 1}},
                     model.compressed_adpcm);
    comments_ = new QPushButton("&Add comments...", box);
    comments_->setObjectName("add_comments");
    connect(comments_, &QPushButton::clicked, this, [this] {
        InfoEditDialog editor(model_.info);
        if (kel::ui().run_modal(editor) == kel::kIdOk)
            model_.add_comments = true;
    });
    grid->addWidget(comments_, 3, 2, 1, 2, Qt::AlignRight);
    grid->setColumnStretch(4, 1);

    // Qt's own dialog lays itself out on a grid; the group goes under everything.
    if (auto* layout = qobject_cast<QGridLayout*>(this->layout()))
        layout->addWidget(box, layout->rowCount(), 0, 1, layout->columnCount());
}

QAbstractButton* SaveWaveformWindow::rate_button(long rate) const
{
    return rates_->button(static_cast<int>(rate));
}

QAbstractButton* SaveWaveformWindow::bits_button(int bits) const
{
    return bits_->button(bits);
}

QAbstractButton* SaveWaveformWindow::channels_button(int channels) const
{
    return channels_->button(channels);
}

QAbstractButton* SaveWaveformWindow::compression_button(bool adpcm) const
{
    return compression_->button(adpcm ? 1 : 0);
}

void SaveWaveformWindow::accept()
{
    // Qt asks about replacing an existing file itself, before this.
    const QStringList files = selectedFiles();
    if (files.isEmpty() || files.front().isEmpty())
        return;
    setResult(QDialog::Rejected);
    QFileDialog::accept();
    if (result() != QDialog::Accepted)
        return;
    model_.file_name = selectedFiles().front().toStdString();
    // A document of another rate keeps it unless one of the three is picked.
    if (rates_->checkedId() > 0)
        model_.rate = rates_->checkedId();
    if (bits_->checkedId() > 0)
        model_.bits = bits_->checkedId();
    if (channels_->checkedId() > 0)
        model_.channels = channels_->checkedId();
    model_.compressed_adpcm = compression_->checkedId() == 1;
    model_.save();
}

void SaveWaveformWindow::reject()
{
    model_.cancel();
    QFileDialog::reject();
}

int run_save_waveform_dialog(kel::DialogModel& m, QWidget* parent)
{
    auto* model = dynamic_cast<SaveAsDialog*>(&m);
    if (!model) {
        m.end_dialog(kel::kIdCancel);
        return kel::kIdCancel;
    }
    model->on_open();
    SaveWaveformWindow w(*model, parent);
    w.exec();
    if (!model->ended())
        model->cancel();
    return model->end_code();
}

} // namespace ui
