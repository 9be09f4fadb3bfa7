#pragma once
// Pieces the module's Qt dialogs share: faders that show a DialogSlider (smallest position
// at the top, as the model counts), the value fields, and a table of controls by id.
#include "filtrel/dialog_slider.h"

#include <QColor>
#include <QDialog>
#include <QString>
#include <functional>
#include <map>

class QLabel;
class QSlider;
class QStyle;

namespace filtrel_ui {

// A dialog whose controls are found by their template ids (tests and the binders use it).
class ModelWindow : public QDialog
{
  public:
    explicit ModelWindow(QWidget* parent) : QDialog(parent) {}
    QWidget* control(int id) const;

  protected:
    // Names the widget after its id and keeps it.
    void remember(int id, QWidget* widget);
    // A vertical fader on the model's slider: Qt's value is the model's position.
    QSlider* fader(const DialogSlider& model, int minimum_height, QWidget* parent,
                   std::function<void(int position)> moved);
    static void show_fader(QSlider* slider, const DialogSlider& model);
    // Centred text on white in a sunken frame.
    static QLabel* value_field(QWidget* parent, const QColor& text, const QString& face, int points,
                               int width);

  private:
    std::map<int, QWidget*> controls_;
    QStyle* fader_style_ = nullptr;
};

} // namespace filtrel_ui
