#pragma once
// The editor's Open: the file list with the "  File specs   " panel beside it, which
// tells date, length, format and type of the selected file and lets a wave file be
// heard before it is opened.
#include "editor/devices/file_preview.h"

#include <QFileDialog>
#include <QString>

class QGroupBox;
class QLabel;
class QPushButton;

namespace ui {

class OpenFileDialog : public QFileDialog
{
    Q_OBJECT
  public:
    enum Control : int {
        kDate = 4001,
        kLength = 417,
        kFormat = 402,
        kType = 260,
        kPlay = 11401,
        kMore = 109,
    };

    OpenFileDialog(QWidget* parent, const QString& caption, const QString& directory,
                   const QString& filter);
    ~OpenFileDialog() override;

    // What the panel does on every change of the selected file.
    void file_selected(const QString& path);
    // "&Play." / "&Play" / "&Stop".
    void play_pressed();
    // "&More...": the INFO items of the selected file.
    void more_pressed();

    QLabel* field(int id) const;
    QPushButton* play_button() const { return play_; }
    QPushButton* more_button() const { return more_; }
    QGroupBox* panel() const { return panel_; }
    const FilePreview& preview() const { return preview_; }

  protected:
    void done(int result) override;

  private:
    QGroupBox* panel_ = nullptr;
    QLabel* date_ = nullptr;
    QLabel* length_ = nullptr;
    QLabel* format_ = nullptr;
    QLabel* type_ = nullptr;
    QPushButton* play_ = nullptr;
    QPushButton* more_ = nullptr;
    QString shown_; // the file the panel describes
    FilePreview preview_;
};

} // namespace ui
