#pragma once
// "Preferences" (command 1026): the seven pages in one tabbed sheet. Colours, time format
// and bars take effect at once through the main frame; OK writes what the "Options",
// "Startup" and "Time Format" pages hold; Cancel puts back what had not been written.
#include "editor/view/view_colors.h"

#include <QDialog>
#include <QPointer>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace ui {

class CMainFrame;

class PreferencesSheet : public QDialog
{
    Q_OBJECT
  public:
    // The frame (may be null in tests) gets the commands of the pages that act at once.
    explicit PreferencesSheet(CMainFrame* frame, QWidget* parent = nullptr);

    QTabWidget* tabs() const { return tabs_; }
    // The control of a page by its number (the swatches 301 to 316, the buttons, the
    // combo boxes 394 and 401 of the current device page ...), searched on one page.
    QWidget* control(int page, int id) const;
    QSpinBox* undo_levels() const { return undo_levels_; }
    QLabel* data_directory_label() const { return data_dir_; }

    // The texts shown beside a device combo box (page 5 wave, 6 MIDI; 394 in, 401 out).
    QString device_text(int page, int combo) const;
    // Shows the characteristics of the devices chosen now (what the 50 ms timer does).
    void show_device_characteristics();

  protected:
    void accept() override;
    void reject() override;

  private:
    QWidget* colors_page();
    QWidget* time_format_page();
    QWidget* options_page();
    QWidget* startup_page();
    QWidget* toolbars_page();
    QWidget* wave_page();
    QWidget* midi_page();
    void send(int id, long param = 0);
    void apply_colors();
    void show_time_format(int value);
    void help();

    QPointer<CMainFrame> frame_;
    QTabWidget* tabs_ = nullptr;
    std::vector<QWidget*> pages_;

    ViewColors colors_;      // shown now
    ViewColors colors_kept_; // as at the start or the last "&Save"
    QButtonGroup* color_target_ = nullptr;
    QLabel* color_preview_ = nullptr;

    int time_format_ = 1;
    int time_format_kept_ = 1;
    QButtonGroup* time_buttons_ = nullptr;

    QSpinBox* undo_levels_ = nullptr;
    QCheckBox* undo_check_ = nullptr;
    QLabel* data_dir_ = nullptr;
    QCheckBox* default_setup_ = nullptr;

    QComboBox* wave_in_ = nullptr;
    QComboBox* wave_out_ = nullptr;
    QComboBox* midi_in_ = nullptr;
    QComboBox* midi_out_ = nullptr;
    QLabel* wave_in_text_ = nullptr;
    QLabel* wave_out_text_ = nullptr;
    QLabel* midi_in_text_ = nullptr;
    QLabel* midi_out_text_ = nullptr;
};

// Command 1026: the sheet, modal, over the frame.
void show_preferences(CMainFrame* frame);

} // namespace ui
