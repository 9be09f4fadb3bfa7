#include "plavo/ui/qt_ui.h"

#include "plavo/player.h"
#include "plavo/playlist.h"
#include "plavo/ui/widgets.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

namespace plavo::ui {

namespace {

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

// The playlist dialogs sit where the main dialog does: centred, nudged.
void place(QDialog& d)
{
    d.adjustSize();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    int x = 0, y = 0;
    dialog_position(screen.width(), screen.height(), d.width(), d.height(), x, y);
    d.move(x, y);
}

int select_playlist(QWidget* owner, SelectPlaylistDialog& model)
{
    QDialog d(owner);
    d.setWindowTitle(q(model.title));
    model.on_open();
    auto* list = new QListWidget;
    auto refresh = [&] {
        list->clear();
        for (const auto& n : model.names)
            list->addItem(q(n));
        list->setCurrentRow(model.selected);
    };
    refresh();
    auto* ok = new BitmapButton("ok", "", nullptr, "OK");
    auto* cancel = new BitmapButton("cancel", "", nullptr, "Cancel");
    auto* del = new BitmapButton("delete", "", nullptr, "Delete");
    auto* buttons = new QVBoxLayout;
    for (auto* b : {ok, cancel, del})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(&d);
    layout->addWidget(list);
    layout->addLayout(buttons);
    QObject::connect(list, &QListWidget::currentRowChanged, [&](int row) { model.selected = row; });
    QObject::connect(ok, &QAbstractButton::clicked, [&] {
        model.on_ok();
        d.accept();
    });
    QObject::connect(cancel, &QAbstractButton::clicked, [&] { d.reject(); });
    QObject::connect(del, &QAbstractButton::clicked, [&] {
        model.on_delete();
        refresh();
    });
    place(d);
    if (d.exec() != QDialog::Accepted)
        model.on_cancel();
    return model.end_code();
}

int save_playlist(QWidget* owner, SavePlaylistDialog& model)
{
    QDialog d(owner);
    d.setWindowTitle("Save");
    auto* edit = new QLineEdit;
    auto* ok = new BitmapButton("ok", "", nullptr, "OK");
    auto* cancel = new BitmapButton("cancel", "", nullptr, "Cancel");
    auto* layout = new QVBoxLayout(&d);
    layout->addWidget(new QLabel(q(model.label)));
    layout->addWidget(edit);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    layout->addLayout(row);
    QObject::connect(ok, &QAbstractButton::clicked, [&] {
        model.name = edit->text().trimmed().toStdString();
        model.on_ok();
        d.accept();
    });
    QObject::connect(cancel, &QAbstractButton::clicked, [&] { d.reject(); });
    // The drawn buttons are no push buttons, so the dialog has no default one: Enter in
    // the name box confirms as OK does.
    QObject::connect(edit, &QLineEdit::returnPressed, ok, &QAbstractButton::click);
    place(d);
    if (d.exec() != QDialog::Accepted)
        model.on_cancel();
    return model.end_code();
}

// The folder the chooser shows, or the one typed into its name box and not yet entered.
std::string chooser_folder(QFileDialog* chooser)
{
    QDir shown = chooser->directory();
    if (auto* name = chooser->findChild<QLineEdit*>("fileNameEdit")) {
        const QString typed = name->text().trimmed();
        if (!typed.isEmpty()) {
            const QFileInfo info(QDir::isAbsolutePath(typed) ? typed : shown.filePath(typed));
            if (info.isDir())
                return info.absoluteFilePath().toStdString();
        }
    }
    return shown.absolutePath().toStdString();
}

// Enter on a folder typed into the chooser's name box opens that folder, there and then:
// the embedded chooser left to itself lands elsewhere, and "Add all" then finds nothing.
class EnterFolder : public QObject
{
  public:
    EnterFolder(QFileDialog* chooser, QLineEdit* name)
        : QObject(name), chooser_(chooser), name_(name)
    {
        name->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        const QString typed = name_->text().trimmed();
        if (typed.isEmpty())
            return false;
        const QDir shown = chooser_->directory();
        const QFileInfo info(QDir::isAbsolutePath(typed) ? typed : shown.filePath(typed));
        if (!info.isDir())
            return false;
        chooser_->setDirectory(info.absoluteFilePath());
        name_->clear();
        return true;
    }

  private:
    QFileDialog* chooser_;
    QLineEdit* name_;
};

// The Open dialog: the file chooser with the playlist group beside it.
int open_with_playlist(QWidget* owner, OpenDialog& model)
{
    QDialog d(owner);
    d.setWindowTitle(q(model.title));
    auto* chooser = new QFileDialog(&d);
    chooser->setWindowFlags(Qt::Widget);
    chooser->setOption(QFileDialog::DontUseNativeDialog);
    chooser->setFileMode(QFileDialog::ExistingFile);
    chooser->setNameFilter("OCW Files (*.ocw)");
    chooser->setDefaultSuffix(q(model.default_extension));
    chooser->setDirectory(QDir::currentPath());
    if (auto* name = chooser->findChild<QLineEdit*>("fileNameEdit"))
        new EnterFolder(chooser, name);
    PlaylistPanel& panel = model.panel;
    panel.folder = QDir::currentPath().toStdString();

    auto* group = new QGroupBox("Playlist Selections");
    auto* list = new QListWidget;
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto refresh = [&] {
        list->clear();
        for (const auto& e : panel.entries)
            list->addItem(q(e));
    };
    refresh();
    auto* g = new QVBoxLayout(group);
    g->addWidget(new QLabel("File Names to Play:"));
    g->addWidget(list);
    struct Def
    {
        const char* text;
        void (PlaylistPanel::*act)();
    };
    const Def defs[] = {{"Add &item(s)", &PlaylistPanel::add_items},
                        {"&Add all", &PlaylistPanel::add_all},
                        {"&Delete item(s)", &PlaylistPanel::delete_items},
                        {"Delete a&ll", &PlaylistPanel::delete_all},
                        {"&Load prev", &PlaylistPanel::load_prev},
                        {"&Save", &PlaylistPanel::save}};
    auto* grid = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    int i = 0;
    for (const Def& def : defs) {
        auto* b = new QPushButton(def.text);
        (i++ % 2 ? right : left)->addWidget(b);
        QObject::connect(b, &QPushButton::clicked, [&, act = def.act] {
            panel.selection.clear();
            for (auto* item : list->selectedItems())
                panel.selection.push_back(list->row(item));
            panel.folder = chooser_folder(chooser);
            (panel.*act)();
            refresh();
            if (!panel.file_name_field.empty()) {
                chooser->selectFile(q(panel.file_name_field));
                panel.file_name_field.clear();
            }
        });
    }
    grid->addLayout(left);
    grid->addLayout(right);
    g->addLayout(grid);

    auto* layout = new QHBoxLayout(&d);
    layout->addWidget(chooser, 3);
    layout->addWidget(group, 2);
    QObject::connect(chooser, &QFileDialog::currentChanged,
                     [&](const QString& f) { panel.selected_file = f.toStdString(); });
    QObject::connect(chooser, &QFileDialog::directoryEntered,
                     [&](const QString& dir) { panel.folder = dir.toStdString(); });
    QObject::connect(chooser, &QFileDialog::fileSelected, [&](const QString& f) {
        model.on_ok(f.left(static_cast<int>(kMaxPath)).toStdString());
        d.accept();
    });
    QObject::connect(chooser, &QFileDialog::rejected, [&] { d.reject(); });
    d.resize(900, 460);
    if (d.exec() != QDialog::Accepted && !model.ended())
        model.on_cancel();
    return model.end_code();
}

} // namespace

int QtUi::message_box(const std::string& text, const std::string& caption, kel::Buttons buttons,
                      kel::Icon icon)
{
    QMessageBox box(owner_);
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
    default:
        break;
    }
    switch (buttons) {
    case kel::Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case kel::Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case kel::Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case kel::Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case kel::Buttons::RetryCancel:
        box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return kel::kIdOk;
    case QMessageBox::Yes:
        return kel::kIdYes;
    case QMessageBox::No:
        return kel::kIdNo;
    case QMessageBox::Retry:
        return kel::kIdRetry;
    default:
        return kel::kIdCancel;
    }
}

void QtUi::beep()
{
    QApplication::beep();
}

kel::Cursor QtUi::set_cursor(kel::Cursor cursor)
{
    const kel::Cursor previous = cursor_;
    QApplication::restoreOverrideCursor();
    if (cursor == kel::Cursor::Wait || cursor == kel::Cursor::Watch)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    cursor_ = cursor;
    return previous;
}

int QtUi::run_modal(kel::DialogModel& dialog)
{
    const std::string name = dialog.template_name();
    if (name == "146")
        return open_with_playlist(owner_, static_cast<OpenDialog&>(dialog));
    if (name == "NewSelect")
        return select_playlist(owner_, static_cast<SelectPlaylistDialog&>(dialog));
    if (name == "Save")
        return save_playlist(owner_, static_cast<SavePlaylistDialog&>(dialog));
    dialog.end_dialog(kel::kIdCancel);
    return kel::kIdCancel;
}

std::string QtUi::file_dialog(const kel::FileDialogRequest& request)
{
    // "Text (*.x)|*.x|..." pairs become Qt's filter lines.
    const QStringList parts = q(request.filter).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters << (parts[i] == parts[i + 1] ? parts[i] : parts[i] + " (" + parts[i + 1] + ")");
    QFileDialog d(owner_, q(request.title));
    d.setOption(QFileDialog::DontUseNativeDialog);
    d.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    d.setNameFilters(filters);
    d.setDirectory(request.directory.empty() ? QDir::currentPath() : q(request.directory));
    if (request.save)
        d.setDefaultSuffix("wav");
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
        return {};
    return d.selectedFiles().first().toStdString();
}

int QtUi::screen_width()
{
    return QGuiApplication::primaryScreen()->geometry().width();
}
int QtUi::screen_height()
{
    return QGuiApplication::primaryScreen()->geometry().height();
}

void QtUi::open_help(const std::string& help_file, long)
{
    if (QFileInfo::exists(q(help_file)))
        QDesktopServices::openUrl(QUrl::fromLocalFile(q(help_file)));
    else
        message_box("Cannot open file " + help_file + ".", "OCW File Decoder / Player",
                    kel::Buttons::Ok, kel::Icon::Exclamation);
}

} // namespace plavo::ui
