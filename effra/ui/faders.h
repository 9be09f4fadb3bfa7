#pragma once
// Pieces the effect dialogs share: upside-down faders (top = largest value), framed red
// read-outs and the four standard push buttons.
#include <QString>

class QBoxLayout;
class QLabel;
class QPushButton;
class QSlider;
class QWidget;

namespace effra_ui {

// A vertical fader over minimum..maximum whose value is the model's position
// (maximum + minimum - value): the top end is the largest value.
QSlider* make_fader(QWidget* parent, int id, int minimum, int maximum, int position,
                    int height = 150);
// A framed read-out, red on white as the module's dialogs draw them.
QLabel* make_readout(QWidget* parent, int id, int minimum_width = 60);
void set_readout_grey(QLabel* readout, bool grey);
QPushButton* add_push_button(QBoxLayout* layout, QWidget* parent, const char* text, int id);

inline QString id_name(int id)
{
    return QString::number(id);
}

} // namespace effra_ui
