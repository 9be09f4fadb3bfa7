// The frame's status bar: the prompt line and the seven panes of the active document.
#include "common/child_frame.h"
#include "editor/strings.h"
#include "editor/ui/main_frame.h"

#include <QLabel>
#include <QStatusBar>

namespace ui {

void CMainFrame::build_status_bar()
{
    QStatusBar* sb = statusBar();
    sb->showMessage("Ready");
    for (int id = 15; id <= 21; ++id) {
        auto* pane = new QLabel(sb);
        pane->setObjectName(QString::number(id));
        pane->setAlignment(Qt::AlignCenter);
        pane->setFrameShape(QFrame::StyledPanel);
        pane->setFrameShadow(QFrame::Sunken);
        // Each pane is as wide as its sample text in the string table.
        const char* sample = string_table_text(id);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(sample ? sample : "") + 16);
        sb->addPermanentWidget(pane);
        panes_[id] = pane;
    }
}

QLabel* CMainFrame::status_pane(int id) const
{
    auto it = panes_.find(id);
    return it == panes_.end() ? nullptr : it->second;
}

void CMainFrame::refresh_status()
{
    CChildFrame* doc = documents::active();
    auto set = [this](int id, const QString& text) {
        if (QLabel* l = status_pane(id))
            l->setText(text);
    };
    if (!doc) {
        for (int id = 15; id <= 21; ++id)
            set(id, "");
        return;
    }
    const WaveFormat& f = doc->wave_format;
    const double frame_rate = f.sample_rate ? double(f.sample_rate) : 1.0;
    const int channels = f.channels ? f.channels : 1;
    auto seconds = [&](long words) {
        return QString("%1 sec").arg(double(words) / channels / frame_rate, 0, 'f', 3);
    };
    set(15, QString("%1 bytes").arg(doc->current.total_samples * doc->bytes_per_sample()));
    set(16, QString("%1kHz").arg(f.sample_rate / 1000.0, 0, 'f', 3));
    set(17, QString("%1bits").arg(f.bits_per_sample));
    set(18, f.channels == 2 ? "Stereo" : "Mono");
    set(19, seconds(doc->current.total_samples));
    set(20, seconds(doc->current.select_start));
    set(21, seconds(doc->current.select_end));
}

void CMainFrame::pointer_status(const QString& text)
{
    statusBar()->showMessage(text.isEmpty() ? QString("Ready") : text);
}

void CMainFrame::refresh_cue_list()
{
    if (cue_list_)
        cue_list_->show_document(documents::active());
}

} // namespace ui
