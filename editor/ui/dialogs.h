#pragma once
// The Qt dialogs of the editor's shell, registered under their template names.
#include <QDialog>

namespace app {
class LogoDialog;
}

namespace ui {

// "LOGOBITMAP", "TIPOFTHEDAY", "CREATENEWFILE" and the modules' "NewEcho", "NewReverb",
// "NEWFILTEROPTIONS", "EQUALIZE", "FLANGE", the pitch and tempo dialogs, and those of
// saving, presets, combining, silence and the amplify module.
void register_editor_dialogs();

// The logo window; public so tests can click it.
class LogoWindow : public QDialog
{
    Q_OBJECT
  public:
    LogoWindow(app::LogoDialog& model, QWidget* parent);
    static QPixmap logo_bitmap();

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void timerEvent(QTimerEvent*) override;
    bool event(QEvent* e) override;

  private:
    app::LogoDialog& model_;
    QPixmap bitmap_;
    int timer_ = 0;
};

} // namespace ui
