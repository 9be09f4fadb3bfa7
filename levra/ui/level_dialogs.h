#pragma once
// The Qt faces of the amplify module's dialogs: "AMPLIFY", "FADE", "PAN", "MODULATE".
// Each window shows its model's values; OK writes them back and ends the model with OK,
// Cancel ends it with Cancel and leaves the values alone.
#include "levra/dialogs.h"

#include <QDialog>

class QDoubleSpinBox;
class QRadioButton;
class QSlider;
class QSpinBox;

namespace levra_ui {

class AmplifyWindow : public QDialog
{
    Q_OBJECT
  public:
    AmplifyWindow(AmplifyDialog& model, QWidget* parent);
    QRadioButton* decibels_choice() const { return in_db_; }
    QRadioButton* percent_choice() const { return in_percent_; }
    QDoubleSpinBox* decibels() const { return db_; }
    QSpinBox* percent() const { return percent_; }

  protected:
    void accept() override;
    void reject() override;

  private:
    AmplifyDialog& model_;
    QRadioButton* in_db_ = nullptr;
    QRadioButton* in_percent_ = nullptr;
    QDoubleSpinBox* db_ = nullptr;
    QSpinBox* percent_ = nullptr;
};

class FadeWindow : public QDialog
{
    Q_OBJECT
  public:
    FadeWindow(FadeDialog& model, QWidget* parent);
    QRadioButton* fade_in() const { return in_; }
    QRadioButton* fade_out() const { return out_; }
    QRadioButton* linear() const { return linear_; }
    QRadioButton* logarithmic() const { return log_; }

  protected:
    void accept() override;
    void reject() override;

  private:
    FadeDialog& model_;
    QRadioButton* in_ = nullptr;
    QRadioButton* out_ = nullptr;
    QRadioButton* linear_ = nullptr;
    QRadioButton* log_ = nullptr;
};

class PanWindow : public QDialog
{
    Q_OBJECT
  public:
    PanWindow(PanDialog& model, QWidget* parent);
    QSpinBox* start() const { return start_; }
    QSpinBox* end() const { return end_; }
    QSlider* start_slider() const { return start_slider_; }
    QSlider* end_slider() const { return end_slider_; }

  protected:
    void accept() override;
    void reject() override;

  private:
    PanDialog& model_;
    QSpinBox* start_ = nullptr;
    QSpinBox* end_ = nullptr;
    QSlider* start_slider_ = nullptr;
    QSlider* end_slider_ = nullptr;
};

class ModulateWindow : public QDialog
{
    Q_OBJECT
  public:
    ModulateWindow(ModulateDialog& model, QWidget* parent);
    QDoubleSpinBox* rate() const { return rate_; }
    QSpinBox* depth() const { return depth_; }

  protected:
    void accept() override;
    void reject() override;

  private:
    ModulateDialog& model_;
    QDoubleSpinBox* rate_ = nullptr;
    QSpinBox* depth_ = nullptr;
};

// Binders: open the model, show its window, run it; return the model's end code
// (Cancel for a model of another kind).
int run_amplify_dialog(kel::DialogModel& model, QWidget* parent);
int run_fade_dialog(kel::DialogModel& model, QWidget* parent);
int run_pan_dialog(kel::DialogModel& model, QWidget* parent);
int run_modulate_dialog(kel::DialogModel& model, QWidget* parent);

} // namespace levra_ui
