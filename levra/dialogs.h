#pragma once
// The dialogs of the amplify module, as models. Their values last for the whole run.
#include "platform/ui.h"

class AmplifyDialog : public kel::DialogModel
{
  public:
    const char* template_name() const override { return "AMPLIFY"; }
    bool in_decibels = true;
    double decibels = 3.0; // -40 .. +40
    int percent = 100;     // 0 .. 1000
    double gain() const;   // the factor either way
    void ok() { end_dialog(kel::kIdOk); }
    void cancel() { end_dialog(kel::kIdCancel); }
};

class FadeDialog : public kel::DialogModel
{
  public:
    const char* template_name() const override { return "FADE"; }
    bool fade_in = true;
    bool logarithmic = false;
    void ok() { end_dialog(kel::kIdOk); }
    void cancel() { end_dialog(kel::kIdCancel); }
};

class PanDialog : public kel::DialogModel
{
  public:
    const char* template_name() const override { return "PAN"; }
    int start_position = -100; // -100 left .. 0 centre .. 100 right
    int end_position = 100;
    void ok() { end_dialog(kel::kIdOk); }
    void cancel() { end_dialog(kel::kIdCancel); }
};

class ModulateDialog : public kel::DialogModel
{
  public:
    const char* template_name() const override { return "MODULATE"; }
    double rate_hz = 5.0;   // 0.1 .. 20
    int depth_percent = 50; // 0 .. 100
    void ok() { end_dialog(kel::kIdOk); }
    void cancel() { end_dialog(kel::kIdCancel); }
};

// Runs a copy of the model (so Cancel keeps the last values) and stores it back on OK.
template <typename Dialog> bool ask(Dialog& kept)
{
    Dialog d = kept;
    d.restart();
    if (kel::ui().run_modal(d) != kel::kIdOk)
        return false;
    kept = d;
    return true;
}
