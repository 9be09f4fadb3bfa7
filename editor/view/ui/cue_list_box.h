#pragma once
// The cue list box of the "Cuelist" bar: the active document's markers. Choosing one
// plays it (a pair as its interval, a single marker to the end); a highlighted section
// dropped on it becomes a marker pair. Its context menu opens the time-mark dialog on
// the marker it shows.
#include <QComboBox>

class CChildFrame;

class CueListBox : public QComboBox
{
    Q_OBJECT
  public:
    explicit CueListBox(QWidget* parent = nullptr);
    // Reloads the entries from the document (null: none).
    void show_document(CChildFrame* doc);
    CChildFrame* document() const { return doc_; }
    // Plays entry i of the list; 1 when playback started.
    int play_entry(int index);

    // The time-mark dialog on the marker the box shows (the first when it shows none).
    int open_timemark_dialog();

    void showPopup() override;

  signals:
    // The markers were changed through the box (the dialog, a drop).
    void markers_changed(CChildFrame* doc);

  protected:
    void contextMenuEvent(QContextMenuEvent*) override;
    void dragEnterEvent(QDragEnterEvent*) override;
    void dragMoveEvent(QDragMoveEvent*) override;
    void dropEvent(QDropEvent*) override;

  private:
    CChildFrame* doc_ = nullptr;
};
