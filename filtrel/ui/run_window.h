#pragma once
// Runs a module dialog's Qt window over its model: a model of another type ends at once
// with Cancel; a window closed without the model ending cancels it.
#include "platform/ui.h"

class QWidget;

namespace filtrel_ui {

template <class Model, class Window> int run_window(kel::DialogModel& model, QWidget* parent)
{
    auto* typed = dynamic_cast<Model*>(&model);
    if (!typed) {
        if (!model.ended())
            model.end_dialog(kel::kIdCancel);
        return model.end_code();
    }
    typed->on_open();
    Window window(*typed, parent);
    window.exec();
    if (!typed->ended())
        typed->cancel();
    return typed->end_code();
}

} // namespace filtrel_ui
