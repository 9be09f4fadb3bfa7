#pragma once
// "PLUGINS": the list of plug-ins and, for the chosen one, a slider per control port.
#include "platform/ui.h"

#include <QDialog>
#include <vector>

class PluginDialog;
class QComboBox;
class QLabel;
class QSlider;
class QVBoxLayout;

namespace ui {

class PluginDialogWindow : public QDialog
{
    Q_OBJECT
  public:
    PluginDialogWindow(PluginDialog& model, QWidget* parent);
    QComboBox* plugins() const { return plugins_; }
    const std::vector<QSlider*>& sliders() const { return sliders_; }

  protected:
    void accept() override;
    void reject() override;

  private:
    void show_controls();
    PluginDialog& model_;
    QComboBox* plugins_ = nullptr;
    QWidget* controls_ = nullptr;
    QVBoxLayout* outer_ = nullptr;
    std::vector<QSlider*> sliders_;
};

int run_plugin_dialog(kel::DialogModel& model, QWidget* parent);

} // namespace ui
