#pragma once
// A document window: the MDI child that owns one CChildFrame. Until the waveform view
// exists it shows the document's title, format and length.
#include "common/child_frame.h"

#include <QWidget>
#include <memory>

namespace ui {

class DocumentWindow : public QWidget
{
    Q_OBJECT
  public:
    DocumentWindow(std::unique_ptr<CChildFrame> doc, const QString& title,
                   QWidget* parent = nullptr);
    ~DocumentWindow() override;
    CChildFrame* document() const { return doc_.get(); }
    HWND handle() { return static_cast<QWidget*>(this); }
    // Command 1401: redraw the display and the time read-outs.
    void redraw();
    QSize sizeHint() const override { return QSize(520, 260); }

    static QString format_text(const CChildFrame& doc);
    static QString length_text(const CChildFrame& doc);

  protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void paintEvent(QPaintEvent*) override;

  private:
    std::unique_ptr<CChildFrame> doc_;
};

} // namespace ui
