#include "editor/ui/combine_dialog_window.h"

#include "editor/edit/combine_dialog.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace ui {

namespace {

using C = CombineSelectionDialog;

QString id_name(int id)
{
    return QString::number(id);
}

} // namespace

CombineSelectionWindow::CombineSelectionWindow(CombineSelectionDialog& model, QWidget* parent)
    : QDialog(parent), model_(model)
{
    setObjectName("COPYSELECTION");
    setWindowTitle(C::kTitle);
    auto* outer = new QHBoxLayout(this);

    // One exclusive set: a mode and the mixes exclude each other.
    modes_ = new QButtonGroup(this);
    auto radio = [&](QWidget* box, QLayout* layout, int id) {
        auto* r = new QRadioButton(QString::fromStdString(model_.text(id)), box);
        r->setObjectName(id_name(id));
        r->setEnabled(model_.enabled(id));
        modes_->addButton(r, id);
        layout->addWidget(r);
        return r;
    };
    auto* left = new QVBoxLayout;
    auto* modes_box = new QGroupBox(this);
    auto* ml = new QVBoxLayout(modes_box);
    for (int id : {C::kInsert, C::kOverwrite, C::kPaste, C::kCrossFade})
        radio(modes_box, ml, id);
    left->addWidget(modes_box);
    auto* mix_box = new QGroupBox("Mix", this);
    auto* xl = new QVBoxLayout(mix_box);
    for (int id : {C::kMixBoth, C::kMixLeft, C::kMixRight})
        radio(mix_box, xl, id);
    left->addWidget(mix_box);
    left->addStretch(1);
    outer->addLayout(left);

    auto* gains = new QGroupBox("Mix / Cross fade", this);
    auto* gl = new QGridLayout(gains);
    auto* marks = new QVBoxLayout;
    marks->addWidget(new QLabel("- x 2", gains));
    marks->addStretch(1);
    marks->addWidget(new QLabel("- x 1", gains));
    marks->addStretch(1);
    marks->addWidget(new QLabel("- x 0", gains));
    int column = 0;
    for (int id : {C::kSourceSlider, C::kDestinationSlider}) {
        auto* s = new QSlider(Qt::Vertical, gains);
        s->setObjectName(id_name(id));
        s->setRange(0, 100);
        // Position 0 is the top, which is the gain 2.0.
        s->setInvertedAppearance(true);
        s->setInvertedControls(true);
        s->setMinimumHeight(140);
        s->setValue(model_.slider_position(id));
        gl->addWidget(new QLabel(QString::fromStdString(model_.text(id)), gains), 0, column,
                      Qt::AlignHCenter);
        gl->addWidget(s, 1, column, Qt::AlignHCenter);
        if (column == 0)
            gl->addLayout(marks, 1, ++column);
        ++column;
        s->installEventFilter(this);
        connect(s, &QSlider::valueChanged, this, [this, s, id](int position) {
            // The gains follow the mouse only while its button is held; the keyboard
            // and the wheel leave them as they are.
            if (!model_.move_slider(id, position)) {
                QSignalBlocker quiet(s);
                s->setValue(model_.slider_position(id));
            }
        });
    }
    shapes_ = new QButtonGroup(this);
    auto* shape_row = new QHBoxLayout;
    for (int id : {C::kLinear, C::kExponential}) {
        auto* r = new QRadioButton(QString::fromStdString(model_.text(id)), gains);
        r->setObjectName(id_name(id));
        shapes_->addButton(r, id);
        shape_row->addWidget(r);
    }
    gl->addLayout(shape_row, 2, 0, 1, column);
    outer->addWidget(gains);

    auto* buttons = new QVBoxLayout;
    for (int id : {C::kOk, C::kCancel, C::kHelp}) {
        auto* b = new QPushButton(QString::fromStdString(model_.text(id)), this);
        b->setObjectName(id_name(id));
        b->setAutoDefault(false);
        if (id == C::kOk)
            b->setDefault(true);
        buttons->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, id] {
            if (id == C::kOk) {
                model_.ok();
                accept();
            } else if (id == C::kCancel) {
                reject();
            } else {
                model_.help();
            }
        });
    }
    buttons->addStretch(1);
    outer->addLayout(buttons);

    connect(modes_, &QButtonGroup::idClicked, this, [this](int id) {
        if (id == C::kMixBoth || id == C::kMixLeft || id == C::kMixRight)
            model_.choose_mix(id);
        else
            model_.choose_mode(id);
        show_model();
    });
    connect(shapes_, &QButtonGroup::idClicked, this, [this](int id) {
        model_.choose_shape(id);
        show_model();
    });
    show_model();
}

bool CombineSelectionWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The state of the left button on a slider, groove clicks included.
    if (qobject_cast<QSlider*>(watched)) {
        if (event->type() == QEvent::MouseButtonPress ||
            event->type() == QEvent::MouseButtonDblClick) {
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                model_.left_button(true);
        } else if (event->type() == QEvent::MouseButtonRelease) {
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                // The release itself may still move the handle.
                QMetaObject::invokeMethod(
                    this, [this] { model_.left_button(false); }, Qt::QueuedConnection);
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CombineSelectionWindow::show_model()
{
    int checked = model_.mode();
    if (checked == 11307)
        checked = model_.mix_left() && model_.mix_right() ? C::kMixBoth
                  : model_.mix_left()                     ? C::kMixLeft
                                                          : C::kMixRight;
    if (QAbstractButton* b = modes_->button(checked))
        b->setChecked(true);
    shapes_->button(model_.exponential() ? C::kExponential : C::kLinear)->setChecked(true);
}

QWidget* CombineSelectionWindow::control(int id) const
{
    return findChild<QWidget*>(id_name(id));
}

QSlider* CombineSelectionWindow::slider(int id) const
{
    return findChild<QSlider*>(id_name(id));
}

void CombineSelectionWindow::reject()
{
    model_.cancel();
    QDialog::reject();
}

int run_combine_selection_dialog(kel::DialogModel& m, QWidget* parent)
{
    auto* model = dynamic_cast<CombineSelectionDialog*>(&m);
    if (!model) {
        m.end_dialog(kel::kIdCancel);
        return kel::kIdCancel;
    }
    model->on_open();
    CombineSelectionWindow w(*model, parent);
    w.exec();
    if (!model->ended())
        model->cancel();
    return model->end_code();
}

} // namespace ui
