#pragma once
// "Save Waveform To Disk": Qt's file list with the "Attributes" group under it (rate,
// bits, channels, PCM or compressed ADPCM, and the comments button).
#include "platform/ui.h"

#include <QFileDialog>

class QAbstractButton;
class QButtonGroup;
class QPushButton;
class SaveAsDialog;

namespace ui {

class SaveWaveformWindow : public QFileDialog
{
    Q_OBJECT
  public:
    SaveWaveformWindow(SaveAsDialog& model, QWidget* parent);

    // The radio button of an attribute value: rates 11025/22050/44100, bits 8/16,
    // channels 1/2, compression 0 (PCM) or 1 (ADPCM).
    QAbstractButton* rate_button(long rate) const;
    QAbstractButton* bits_button(int bits) const;
    QAbstractButton* channels_button(int channels) const;
    QAbstractButton* compression_button(bool adpcm) const;
    QPushButton* comments_button() const { return comments_; }

  protected:
    void accept() override;
    void reject() override;

  private:
    SaveAsDialog& model_;
    QButtonGroup* rates_ = nullptr;
    QButtonGroup* bits_ = nullptr;
    QButtonGroup* channels_ = nullptr;
    QButtonGroup* compression_ = nullptr;
    QPushButton* comments_ = nullptr;
};

int run_save_waveform_dialog(kel::DialogModel& model, QWidget* parent);

} // namespace ui
