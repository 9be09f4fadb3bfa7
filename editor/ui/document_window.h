#pragma once
// A document window: the MDI child that owns one CChildFrame and shows it in its
// waveform view with the play bar.
#include "common/child_frame.h"

#include <QWidget>
#include <memory>

class DocumentView;

namespace ui {

class DocumentWindow : public QWidget
{
    Q_OBJECT
  public:
    DocumentWindow(std::unique_ptr<CChildFrame> doc, const QString& title,
                   QWidget* parent = nullptr);
    ~DocumentWindow() override;
    CChildFrame* document() const { return doc_.get(); }
    DocumentView* view() const { return view_; }
    HWND handle() { return static_cast<QWidget*>(this); }
    // Command 1401: redraw the display and the time read-outs.
    void redraw();
    // The file's name; the title shows it with a "*" while the document has unsaved work.
    QString base_title() const { return base_title_; }
    void set_base_title(const QString& title);
    void show_modified();
    QSize sizeHint() const override { return QSize(520, 260); }

    static QString format_text(const CChildFrame& doc);
    static QString length_text(const CChildFrame& doc);

  protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    std::unique_ptr<CChildFrame> doc_;
    DocumentView* view_ = nullptr;
    QString base_title_;
};

} // namespace ui
