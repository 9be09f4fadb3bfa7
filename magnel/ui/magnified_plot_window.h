#pragma once
// The Qt face of the magnified plot.
#include "platform/ui.h"

#include <QDialog>
#include <QWidget>

class QLabel;
class QPushButton;
class QScrollBar;

namespace magnel {
class MagnifiedPlotDialog;
}

// Shows a "MAGNIFIEDPLOT" model modally; the editor registers it under that name.
int run_magnified_plot(kel::DialogModel& model, QWidget* parent);

namespace magnel_ui {

// One trace per channel, each sample a dot joined to the next.
class PlotArea : public QWidget
{
  public:
    explicit PlotArea(const magnel::MagnifiedPlotDialog& model, QWidget* parent);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    const magnel::MagnifiedPlotDialog& model_;
};

class MagnifiedPlotWindow : public QDialog
{
    Q_OBJECT
  public:
    // The model's on_open has run.
    MagnifiedPlotWindow(magnel::MagnifiedPlotDialog& model, QWidget* parent);

    PlotArea* plot() const { return plot_; }
    QLabel* start_label() const { return start_; }
    QLabel* frames_label() const { return frames_; }
    QPushButton* previous_button() const { return previous_; }
    QPushButton* next_button() const { return next_; }
    QScrollBar* scroll_bar() const { return scroll_; }

  private:
    void refresh();

    magnel::MagnifiedPlotDialog& model_;
    PlotArea* plot_ = nullptr;
    QLabel* start_ = nullptr;
    QLabel* frames_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QScrollBar* scroll_ = nullptr;
};

} // namespace magnel_ui
