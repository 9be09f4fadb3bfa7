#pragma once
// The inside of a document window: the waveform drawing area above the play bar with
// its scroll bar and zoom readout. The main frame embeds one per document.
#include "editor/commands/command_table.h"

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

    // Runs a command of the command table for this document and view (its play bar, its
    // keys); 1 when the command was taken (for the commands that change the data: when
    // it changed them). The frame's own commands go to the host, when there is one.
    int run_command(int id, long param = 0);
    // The document, the view state and the host a command from here runs with.
    CommandContext command_context();
    // After a command ran with this view's context: the view follows what it changed.
    // What run_command returns.
    int command_ran(int id, int result);
    void set_command_host(CommandHost* host) { host_ = host; }
    // The data or selection changed from outside: rebuild and repaint.
    void document_changed();
    // Playback's caret and marker.
    void set_play_marker(long sample);

    // The document a drop on this view came from when it is another open document.
    static DocumentView* view_of(CChildFrame* doc);

  signals:
    // A key or command the view does not take, for the frame's key table.
    void unhandled_key(int key, int modifiers, const QString& text);
    // A command ran with this view's context.
    void command_done(int id);
    void selection_changed();
    // A highlighted section was dropped from another document (after the combine).
    void section_dropped(CChildFrame* source);
    // The view's markers changed (moved, paired, deleted).
    void markers_changed();
    // The status line's text for the pointer; empty gives the line back.
    void status_text(const QString& text);

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
    CommandHost* host_ = nullptr;
};
