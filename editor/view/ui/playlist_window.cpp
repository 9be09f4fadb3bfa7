#include "editor/view/ui/playlist_window.h"

#include "common/child_frame.h"
#include "editor/view/ui/document_view.h"
#include "editor/view/ui/section_drag.h"
#include "editor/view/ui/waveform_area.h"
#include "platform/ui.h"

#include <QDragEnterEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

PlaylistWindow::PlaylistWindow(Playlist& list, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint), list_(list)
{
    setObjectName("PLAYLIST");
    setWindowTitle(QString::fromLatin1(kPlaylistTitle));
    setModal(false);
    setAcceptDrops(true);
    list_.window = this;
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto* column = new QVBoxLayout(this);
    auto* header = new QLabel(QString::fromLatin1(kPlaylistHeader), this);
    header->setFont(fixed);
    column->addWidget(header);
    box_ = new QListWidget(this);
    box_->setObjectName(QString::number(kPlaylistListBox));
    box_->setFont(fixed);
    box_->setAcceptDrops(false);
    column->addWidget(box_, 1);
    auto* buttons = new QHBoxLayout;
    auto add_button = [&](const char* text, int id) {
        auto* b = new QPushButton(QString::fromLatin1(text), this);
        b->setObjectName(QString::number(id));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, id] { run_command(id); });
        buttons->addWidget(b);
    };
    add_button("&Build composite waveform", kBuildCompositeCommand);
    add_button("&Delete entry", kDeleteEntryCommand);
    add_button("&Help", 1405);
    column->addLayout(buttons);
    resize(420, 220);
    refresh();
}

void PlaylistWindow::refresh()
{
    box_->clear();
    for (int i = 0; i < list_.count(); ++i)
        box_->addItem(QString::fromStdString(list_.entry(i).text));
    if (list_.count())
        box_->setCurrentRow(std::min(list_.first_index, list_.count() - 1));
}

int PlaylistWindow::run_command(int id)
{
    switch (id) {
    case kBuildCompositeCommand: {
        CChildFrame* dest = build_composite(list_, create_);
        if (dest)
            emit composite_built(dest);
        return dest ? 1 : 0;
    }
    case kDeleteEntryCommand: {
        const int row = box_->currentRow();
        if (!list_.remove(row))
            return 0;
        refresh();
        return 1;
    }
    case 1405:
        kel::ui().open_help("Orlo.HLP", 1405);
        return 1;
    case 11401: {
        const int row = box_->currentRow();
        // The entry becomes the source's highlighted section: a caret put down there
        // earlier is gone.
        if (row >= 0 && row < list_.count())
            if (CChildFrame* source = documents::find_by_window(list_.entry(row).source))
                if (DocumentView* v = DocumentView::view_of(source))
                    v->area()->state().caret_placed = 0;
        return play_playlist_entry(list_, row);
    }
    default:
        return 0;
    }
}

void PlaylistWindow::dragEnterEvent(QDragEnterEvent* e)
{
    if (section_drag_source(e->mimeData()))
        e->acceptProposedAction();
    else
        e->ignore();
}

void PlaylistWindow::dragMoveEvent(QDragMoveEvent* e)
{
    if (section_drag_source(e->mimeData()))
        e->acceptProposedAction();
    else
        e->ignore();
}

void PlaylistWindow::dropEvent(QDropEvent* e)
{
    CChildFrame* source = section_drag_source(e->mimeData());
    if (!source) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
    if (list_.add_selection(*source))
        refresh();
}
