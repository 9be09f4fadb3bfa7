#pragma once
// The inside of a document window: the waveform drawing area above the play bar with
// its scroll bar and zoom readout. The main frame embeds one per document.
#include <QWidget>

class CChildFrame;
class PlayBar;
class QTimer;
class WaveformArea;

class DocumentView : public QWidget
{
    Q_OBJECT
  public:
    // The view does not own the document and must be destroyed before it. A document
    // without a window handle takes this widget's address, so drags between windows
    // can name it.
    explicit DocumentView(CChildFrame* doc, QWidget* parent = nullptr);
    ~DocumentView() override;

    CChildFrame* document() const { return doc_; }
    WaveformArea* area() const { return area_; }
    PlayBar* play_bar() const { return bar_; }

    // Zoom, go to, highlight edges and select all (the view's command ids), then
    // playback (11401..11404) and the clipboard commands. 1 when the id was handled.
    int run_command(int id);
    // The data or selection changed from outside: rebuild and repaint.
    void document_changed();
    // Playback's caret and marker.
    void set_play_marker(long sample);

    // The document a drop on this view came from when it is another open document.
    static DocumentView* view_of(CChildFrame* doc);

  signals:
    // A key or command the view does not take, for the frame's key table.
    void unhandled_key(int key, int modifiers, const QString& text);
    void selection_changed();
    // A highlighted section was dropped from another document (after the combine).
    void section_dropped(CChildFrame* source);

  protected:
    void keyPressEvent(QKeyEvent*) override;
    void dragEnterEvent(QDragEnterEvent*) override;
    void dragMoveEvent(QDragMoveEvent*) override;
    void dropEvent(QDropEvent*) override;

  private:
    void sync_scroll_bar();
    void show_zoom_readout();
    void start_section_drag();

    CChildFrame* doc_;
    WaveformArea* area_;
    PlayBar* bar_;
    QTimer* readout_timer_;
    bool updating_bar_ = false;
};
