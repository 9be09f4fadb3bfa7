#include "editor/ui/document_window.h"

#include "editor/app/commands.h"
#include "editor/document/playlist.h"
#include "editor/ui/command_event.h"
#include "editor/view/ui/document_view.h"

#include <QCloseEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

namespace ui {

DocumentWindow::DocumentWindow(std::unique_ptr<CChildFrame> doc, const QString& title,
                               QWidget* parent)
    : QWidget(parent), doc_(std::move(doc)), base_title_(title)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    setObjectName("CChildFrame");
    doc_->window = handle();
    doc_->view_window = handle();
    doc_->owner_window = handle();
    setMinimumSize(160, 90);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    view_ = new DocumentView(doc_.get(), this);
    layout->addWidget(view_);
}

DocumentWindow::~DocumentWindow()
{
    // The playlist keeps no entry of a window that is gone; another window may get its
    // address later.
    playlist().forget_window(handle());
    // The view reads the document: it goes first.
    delete view_;
    view_ = nullptr;
    // The document deletes its working, undo, redo and backup files as it goes.
    doc_.reset();
}

bool DocumentWindow::event(QEvent* e)
{
    if (e->type() == CommandEvent::type()) {
        if (static_cast<CommandEvent*>(e)->command == cmd::kRedrawDocument)
            redraw();
        return true;
    }
    return QWidget::event(e);
}

void DocumentWindow::closeEvent(QCloseEvent* e)
{
    if (doc_ && doc_->query_close() == 0) {
        e->ignore();
        return;
    }
    e->accept();
}

void DocumentWindow::set_base_title(const QString& title)
{
    base_title_ = title;
    show_modified();
}

void DocumentWindow::show_modified()
{
    const bool modified = doc_ && doc_->is_modified;
    const QString title = base_title_ + (modified ? "*" : "");
    if (windowTitle() != title)
        setWindowTitle(title);
    setWindowModified(modified);
}

void DocumentWindow::redraw()
{
    if (view_)
        view_->document_changed();
    update();
}

QString DocumentWindow::format_text(const CChildFrame& doc)
{
    const WaveFormat& f = doc.wave_format;
    return QString("%1 Hz, %2 bits, %3")
        .arg(f.sample_rate)
        .arg(f.bits_per_sample)
        .arg(f.channels == 2 ? "Stereo" : "Mono");
}

QString DocumentWindow::length_text(const CChildFrame& doc)
{
    const WaveFormat& f = doc.wave_format;
    const long words = doc.current.total_samples;
    const double seconds =
        f.channels && f.sample_rate ? double(words) / f.channels / f.sample_rate : 0.0;
    return QString("%1 sec, %2 sample words").arg(seconds, 7, 'f', 3).arg(words);
}

} // namespace ui
