#include "editor/ui/qt_ui.h"

#include "editor/ui/open_file_dialog.h"
#include "platform/paths.h"
#include "platform/process.h"

#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStandardPaths>
#include <QStatusBar>
#include <QUrl>

namespace ui {

namespace {
std::map<std::string, DialogBinder>& binders()
{
    static std::map<std::string, DialogBinder> m;
    return m;
}

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}
} // namespace

void register_dialog(const std::string& template_name, DialogBinder binder)
{
    binders()[template_name] = std::move(binder);
}

bool has_dialog(const std::string& template_name)
{
    return binders().count(template_name) != 0;
}

// ---------------------------------------------------------------------------------------

ProgressWindow::ProgressWindow(const QString& text, QWidget* main_window)
    : QWidget(main_window, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName("MESSAGEDLG");
    setWindowTitle(text);
    // Nothing else takes input while a long operation runs.
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 1, 4, 1);
    layout->setSpacing(6);
    cancel_ = new QPushButton("&Cancel", this);
    cancel_->setObjectName("cancel");
    bar_ = new QProgressBar(this);
    bar_->setObjectName("230");
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(true);
    bar_->setFormat(text.isEmpty() ? QString("%p%") : text + "  %p%");
    time_left_ = new QLabel(this);
    time_left_->setObjectName("1039");
    time_left_->setMinimumWidth(150);
    layout->addWidget(cancel_);
    layout->addWidget(bar_, 1);
    layout->addWidget(time_left_);
    connect(cancel_, &QPushButton::clicked, this, [this] { ++cancel_presses_; });
    // Escape cancels as the button does.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { ++cancel_presses_; });
    place_over_status_bar(main_window);
}

void ProgressWindow::place_over_status_bar(QWidget* main_window)
{
    auto* frame = qobject_cast<QMainWindow*>(main_window);
    QStatusBar* status = frame ? frame->statusBar() : nullptr;
    if (!status || !status->isVisible()) {
        resize(620, 30);
        return;
    }
    // One pixel in from the status bar's left edge, its top, one pixel less high.
    const QPoint top_left = status->mapToGlobal(QPoint(1, 0));
    const int width = std::min(620, status->width() - 1);
    cancel_->setMaximumHeight(std::max(16, status->height() - 3));
    setGeometry(top_left.x(), top_left.y(), width, std::max(20, status->height() - 1));
    setFixedSize(size());
}

void ProgressWindow::set_percent(int percent)
{
    bar_->setValue(std::clamp(percent, 0, 100));
}

void ProgressWindow::set_time_left(const QString& text)
{
    time_left_->setText(text);
}

bool ProgressWindow::take_cancel()
{
    if (cancel_presses_ == 0)
        return false;
    --cancel_presses_;
    return true;
}

// ---------------------------------------------------------------------------------------

QtUi::QtUi() = default;

QtUi::~QtUi()
{
    delete progress_.data();
    while (overrides_ > 0) {
        QApplication::restoreOverrideCursor();
        --overrides_;
    }
}

int QtUi::message_box(const std::string& text, const std::string& caption, kel::Buttons buttons,
                      kel::Icon icon)
{
    QMessageBox box(QApplication::activeWindow() ? QApplication::activeWindow()
                                                 : main_window_.data());
    box.setWindowTitle(q(caption));
    box.setText(q(text));
    switch (icon) {
    case kel::Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case kel::Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case kel::Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case kel::Icon::Stop:
        box.setIcon(QMessageBox::Critical);
        break;
    case kel::Icon::None:
        break;
    }
    struct Choice
    {
        QMessageBox::StandardButton button;
        int result;
    };
    std::vector<Choice> choices;
    switch (buttons) {
    case kel::Buttons::Ok:
        choices = {{QMessageBox::Ok, kel::kIdOk}};
        break;
    case kel::Buttons::OkCancel:
        choices = {{QMessageBox::Ok, kel::kIdOk}, {QMessageBox::Cancel, kel::kIdCancel}};
        break;
    case kel::Buttons::YesNo:
        choices = {{QMessageBox::Yes, kel::kIdYes}, {QMessageBox::No, kel::kIdNo}};
        break;
    case kel::Buttons::YesNoCancel:
        choices = {{QMessageBox::Yes, kel::kIdYes},
                   {QMessageBox::No, kel::kIdNo},
                   {QMessageBox::Cancel, kel::kIdCancel}};
        break;
    case kel::Buttons::RetryCancel:
        choices = {{QMessageBox::Retry, kel::kIdRetry}, {QMessageBox::Cancel, kel::kIdCancel}};
        break;
    case kel::Buttons::SaveDiscardCancel:
        choices = {{QMessageBox::Save, kel::kIdYes},
                   {QMessageBox::Discard, kel::kIdNo},
                   {QMessageBox::Cancel, kel::kIdCancel}};
        break;
    }
    QMessageBox::StandardButtons set;
    for (const Choice& c : choices)
        set |= c.button;
    box.setStandardButtons(set);
    box.setDefaultButton(choices.front().button);
    // Escape is the last button's answer where there is a Cancel, else the only one.
    box.setEscapeButton(choices.back().button);
    // The wait cursor would hide that the box wants an answer.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int pressed = box.exec();
    QApplication::restoreOverrideCursor();
    for (const Choice& c : choices)
        if (c.button == pressed)
            return c.result;
    return choices.back().result;
}

void QtUi::beep()
{
    QApplication::beep();
}

kel::Cursor QtUi::set_cursor(kel::Cursor cursor)
{
    const kel::Cursor previous = cursor_;
    cursor_ = cursor;
    while (overrides_ > 0) {
        QApplication::restoreOverrideCursor();
        --overrides_;
    }
    Qt::CursorShape shape = Qt::ArrowCursor;
    switch (cursor) {
    case kel::Cursor::Arrow:
        return previous;
    case kel::Cursor::Wait:
    case kel::Cursor::Watch:
        shape = Qt::WaitCursor;
        break;
    case kel::Cursor::Cross:
        shape = Qt::CrossCursor;
        break;
    case kel::Cursor::SizeWE:
        shape = Qt::SizeHorCursor;
        break;
    case kel::Cursor::Hand:
        shape = Qt::PointingHandCursor;
        break;
    case kel::Cursor::Drag:
        shape = Qt::DragMoveCursor;
        break;
    case kel::Cursor::NoDrop:
        shape = Qt::ForbiddenCursor;
        break;
    }
    QApplication::setOverrideCursor(shape);
    ++overrides_;
    return previous;
}

long QtUi::progress_open(const std::string& text)
{
    // Only one progress window at a time: a new one replaces the old.
    delete progress_.data();
    progress_ = new ProgressWindow(q(text), main_window_);
    progress_->show();
    progress_->raise();
    // The keys (Alt+C, Escape) reach it only when it is the active window.
    progress_->activateWindow();
    progress_handle_ = next_handle_++;
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return progress_handle_;
}

void QtUi::pump_progress_events(bool force)
{
    // The pumps come between blocks of work: at most every 30 ms, so that small blocks
    // are not slowed down. Input is let in too (the window is modal, so only it takes
    // any): a click held back here could be lost to the next pump that excludes it.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (!force && now - last_pump_ms_ < 30)
        return;
    last_pump_ms_ = now;
    QApplication::processEvents();
}

void QtUi::progress_bar(long handle, int percent, const std::string& label)
{
    if (handle != progress_handle_ || !progress_)
        return;
    progress_->set_percent(percent);
    if (!label.empty())
        progress_->bar()->setFormat(q(label) + "  %p%");
    // Paint the new value at once; the input comes in at most every 30 ms.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    pump_progress_events(false);
}

void QtUi::progress_time_left(long handle, const std::string& text)
{
    if (handle == progress_handle_ && progress_)
        progress_->set_time_left(q(text));
}

bool QtUi::progress_cancel_pressed(long handle)
{
    if (handle != progress_handle_ || !progress_)
        return false;
    pump_progress_events(false);
    return progress_ && progress_->take_cancel();
}

void QtUi::progress_close(long handle)
{
    if (handle != progress_handle_)
        return;
    delete progress_.data();
    progress_handle_ = 0;
}

int QtUi::run_modal(kel::DialogModel& dialog)
{
    auto it = binders().find(dialog.template_name());
    if (it == binders().end()) {
        dialog.on_open();
        qWarning("dialog %s is not available in this build", dialog.template_name());
        if (!dialog.ended())
            dialog.end_dialog(kel::kIdCancel);
        return dialog.end_code();
    }
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent)
        parent = QApplication::activeWindow() ? QApplication::activeWindow() : main_window_.data();
    const int code = it->second(dialog, parent);
    if (!dialog.ended())
        dialog.end_dialog(code);
    return dialog.end_code();
}

QString QtUi::qt_filter(const std::string& filter)
{
    const QStringList parts = q(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        QStringList patterns;
        for (QString p : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
            p = p.trimmed();
            if (p == "*.*")
                p = "*";
            patterns << p;
            // Names from the program's origin come in capitals as often as not.
            if (p != "*" && p.toUpper() != p)
                patterns << p.toUpper();
        }
        const int paren = description.indexOf('(');
        if (paren >= 0)
            description = description.left(paren).trimmed();
        out << description + " (" + patterns.join(' ') + ")";
    }
    return out.join(";;");
}

std::string QtUi::file_dialog(const kel::FileDialogRequest& request)
{
    QWidget* parent =
        QApplication::activeWindow() ? QApplication::activeWindow() : main_window_.data();
    QString start = q(request.directory);
    if (!request.file_name.empty())
        start = start.isEmpty() ? q(request.file_name) : start + "/" + q(request.file_name);
    const QString filter = qt_filter(request.filter);
    if (request.file_specs_panel && !request.save) {
        OpenFileDialog dialog(parent, q(request.title), start, filter);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::string();
        return dialog.selectedFiles().front().toStdString();
    }
    const QString chosen =
        request.save ? QFileDialog::getSaveFileName(parent, q(request.title), start, filter)
                     : QFileDialog::getOpenFileName(parent, q(request.title), start, filter);
    return chosen.toStdString();
}

int QtUi::screen_width()
{
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->size().width() : 1024;
}

int QtUi::screen_height()
{
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->size().height() : 768;
}

void QtUi::play_sound(const std::string& name, bool wait)
{
    if (sound_hook)
        sound_hook(name, wait);
}

void QtUi::set_main_title(const std::string& title)
{
    if (main_window_)
        main_window_->setWindowTitle(q(title));
}

void QtUi::open_help(const std::string& help_file, long context)
{
    help_requests_.push_back(help_file + "#" + std::to_string(context));
    // The help travels as a page of HTML beside the program, with an anchor per context.
    QFileInfo info(q(kel::paths::native(help_file)));
    QString page = info.absolutePath() + "/" + info.completeBaseName() + ".html";
    if (!QFileInfo::exists(page))
        page = q(kel::paths::program_dir()) + "Orlo.html";
    QUrl url = QUrl::fromLocalFile(page);
    if (context != 0)
        url.setFragment(QString("context-%1").arg(context));
    QString viewer = QStandardPaths::findExecutable("xdg-open");
    if (viewer.isEmpty())
        viewer = "/usr/bin/xdg-open";
    kel::process::start({viewer.toStdString(), url.toString().toStdString()}, true);
}

bool QtUi::window_geometry(void* window, int& x, int& y, int& width, int& height)
{
    for (QWidget* w : QApplication::allWidgets()) {
        if (static_cast<void*>(w) == window) {
            const QRect r =
                w->isWindow() ? w->frameGeometry() : QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
            x = r.x();
            y = r.y();
            width = r.width();
            height = r.height();
            return true;
        }
    }
    return false;
}

void QtUi::move_window(void* window, int x, int y)
{
    for (QWidget* w : QApplication::allWidgets()) {
        if (static_cast<void*>(w) == window) {
            w->move(w->isWindow() ? QPoint(x, y) : w->parentWidget()->mapFromGlobal(QPoint(x, y)));
            return;
        }
    }
}

} // namespace ui
