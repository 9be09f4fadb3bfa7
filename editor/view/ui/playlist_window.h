#pragma once
// The modeless "  Multitrack List" window: sections dropped on it, built into one
// composite document.
#include "editor/document/playlist.h"

#include <QDialog>

class QListWidget;
class QPushButton;

class PlaylistWindow : public QDialog
{
    Q_OBJECT
  public:
    explicit PlaylistWindow(Playlist& list, QWidget* parent = nullptr);

    // How the build gets its destination (the frame's create-new-file command).
    void set_destination_factory(CreateDestination factory) { create_ = std::move(factory); }
    QListWidget* list_box() const { return box_; }
    // Reloads the list box from the playlist.
    void refresh();
    // 298, 370, 1405, and 11401 with an entry chosen. 1 when it acted.
    int run_command(int id);

  signals:
    void composite_built(CChildFrame* destination);

  protected:
    void dragEnterEvent(QDragEnterEvent*) override;
    void dragMoveEvent(QDragMoveEvent*) override;
    void dropEvent(QDropEvent*) override;

  private:
    Playlist& list_;
    CreateDestination create_;
    QListWidget* box_;
};
