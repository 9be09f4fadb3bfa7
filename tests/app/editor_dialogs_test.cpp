// The editor's own dialogs as real widgets: saving with its attributes, the open
// dialog's file panel, the two preset dialogs, combining a dropped section, inserting
// silence; and that the program shows every one of them under its template name.
#include "editor/commands/command_ids.h"
#include "editor/devices/device_dialogs.h"
#include "editor/devices/playback.h"
#include "editor/edit/clipboard_files.h"
#include "editor/edit/combine_dialog.h"
#include "editor/edit/silence_dialog.h"
#include "editor/files/file_commands.h"
#include "editor/files/file_types.h"
#include "editor/files/plugin_host.h"
#include "editor/files/realmedia.h"
#include "editor/modules/presets.h"
#include "editor/ui/combine_dialog_window.h"
#include "editor/ui/open_file_dialog.h"
#include "editor/ui/plugin_dialog_window.h"
#include "editor/ui/preset_dialogs.h"
#include "editor/ui/qt_ui.h"
#include "editor/ui/realmedia_dialog_window.h"
#include "editor/ui/save_waveform_dialog.h"
#include "editor/ui/silence_dialog_window.h"
#ifdef KELVARA_HAVE_VIDEO_WINDOW
#include "editor/ui/video_window.h"
#endif
#include "effra/compressor_dialog.h"
#include "effra/envelope_dialog.h"
#include "effra/spatial_dialog.h"
#include "effra/tones_dialog.h"
#include "levra/dialogs.h"
#include "platform/events.h"
#include "platform/profile.h"
#include "platform/wave_device.h"
#include "tests/app/app_fixture.h"
#include "tests/support/wave_files.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <cstdlib>

namespace profile = kel::profile;

class EditorDialogsTest : public AppTest
{
  protected:
    void SetUp() override
    {
        AppTest::SetUp();
        g_clipboard = ClipboardState{};
    }
    void TearDown() override
    {
        g_clipboard = ClipboardState{};
        AppTest::TearDown();
    }
    // Pictures for people to look at, when KELVARA_SCREENSHOT_DIR names a folder.
    static void shot(QWidget& w, const QString& file)
    {
        const char* dir = std::getenv("KELVARA_SCREENSHOT_DIR");
        if (!dir || !*dir)
            return;
        QDir().mkpath(dir);
        EXPECT_TRUE(w.grab().save(QString(dir) + "/" + file));
    }
    static void show(QWidget& w)
    {
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    }
    template <class T = QWidget> static T* child(QWidget& w, const QString& name)
    {
        return w.findChild<T*>(name);
    }
    static void click(QWidget* w)
    {
        ASSERT_TRUE(w);
        QTest::mouseClick(w, Qt::LeftButton);
    }
    // Clicks a file in the dialog's list, as the user picks it.
    static void pick(QFileDialog& dialog, const std::string& file)
    {
        auto* list = dialog.findChild<QListView*>("listView");
        ASSERT_TRUE(list);
        auto* files = qobject_cast<QFileSystemModel*>(list->model());
        ASSERT_TRUE(files);
        const QString name = QString::fromStdString(file);
        QModelIndex index;
        for (int i = 0; i < 200 && !index.isValid(); ++i) {
            QTest::qWait(10);
            const QModelIndex found = files->index(name);
            if (found.isValid() && list->visualRect(found).isValid())
                index = found;
        }
        ASSERT_TRUE(index.isValid()) << file;
        list->scrollTo(index);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
        QTest::qWait(10);
    }
    // The echo family's context with three presets and the current values.
    void echo_presets()
    {
        write_file(program + "KVSECHO.INI", "[Echo Presets]\nEcho Preset1=Hall\n"
                                            "Echo Preset2=Small room\nEcho Preset3=Canyon\n"
                                            "[Hall]\nEcho Values1=1 2 3\n"
                                            "[Small room]\nEcho Values1=4 5 6\n"
                                            "[Canyon]\nEcho Values1=7 8 9\n"
                                            "[Echo]\nEcho Values1=10 20 30\n");
        set_preset_context("KVSECHO.INI", "Select Echo / Reverb File", "Echo Presets",
                           "Echo Preset", "Echo", "Echo Values");
    }
    std::string ini(const std::string& section, const std::string& key)
    {
        return profile::read_string(section, key, "<missing>", program + "KVSECHO.INI");
    }
};

// ---- Save Waveform To Disk --------------------------------------------------------------

TEST_F(EditorDialogsTest, SaveWaveformShowsTheDocumentsFormatAndTakesTheChosenOne)
{
    SaveAsDialog model;
    model.filter = save_dialog_filter();
    model.directory = root;
    model.rate = 22050;
    model.bits = 16;
    model.channels = 2;
    ui::SaveWaveformWindow w(model, nullptr);
    show(w);
    EXPECT_EQ(w.windowTitle(), "Save Waveform To Disk");
    auto* attributes = child<QGroupBox>(w, "attributes");
    ASSERT_TRUE(attributes);
    EXPECT_EQ(attributes->title(), "Attributes");
    EXPECT_TRUE(w.rate_button(22050)->isChecked());
    EXPECT_FALSE(w.rate_button(44100)->isChecked());
    EXPECT_TRUE(w.bits_button(16)->isChecked());
    EXPECT_TRUE(w.channels_button(2)->isChecked());
    EXPECT_TRUE(w.compression_button(false)->isChecked());
    EXPECT_EQ(w.rate_button(11025)->text(), "&11.025 kHz");
    EXPECT_EQ(w.bits_button(16)->text(), "1&6 bits");
    EXPECT_EQ(w.compression_button(true)->text(), "&Compressed ADPCM format");
    EXPECT_EQ(w.comments_button()->text(), "&Add comments...");
    QStringList labels;
    for (QLabel* l : attributes->findChildren<QLabel*>())
        labels << l->text();
    EXPECT_TRUE(labels.contains("Sample rate:"));
    EXPECT_TRUE(labels.contains("Bits Per Sample:"));
    EXPECT_TRUE(labels.contains("Channels:"));
    EXPECT_TRUE(labels.contains("Compression:"));
    EXPECT_TRUE(w.nameFilters().join(";").contains("Microsoft PCM Files"));
    shot(w, "orlo-save-waveform.png");

    click(w.rate_button(11025));
    click(w.bits_button(8));
    click(w.channels_button(1));
    click(w.compression_button(true));
    // Nothing changes before Save.
    EXPECT_EQ(model.bits, 16);
    auto* name = child<QLineEdit>(w, "fileNameEdit");
    ASSERT_TRUE(name);
    name->setFocus();
    QTest::keyClicks(name, "take two.wav");
    QTest::keyClick(name, Qt::Key_Return);
    ASSERT_TRUE(model.ended());
    EXPECT_EQ(model.end_code(), kel::kIdOk);
    EXPECT_EQ(model.file_name, root + "take two.wav");
    EXPECT_EQ(model.rate, 11025);
    EXPECT_EQ(model.bits, 8);
    EXPECT_EQ(model.channels, 1);
    EXPECT_TRUE(model.compressed_adpcm);
}

TEST_F(EditorDialogsTest, SaveWaveformCancelAndAnUnlistedRate)
{
    SaveAsDialog model;
    model.directory = root;
    model.rate = 48000;
    ui::SaveWaveformWindow w(model, nullptr);
    show(w);
    for (long r : {11025L, 22050L, 44100L})
        EXPECT_FALSE(w.rate_button(r)->isChecked());
    auto* name = child<QLineEdit>(w, "fileNameEdit");
    QTest::keyClicks(name, "keep.wav");
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(model.end_code(), kel::kIdOk);
    // A rate that has no button stays as the document has it.
    EXPECT_EQ(model.rate, 48000);

    SaveAsDialog cancelled;
    cancelled.directory = root;
    ui::SaveWaveformWindow c(cancelled, nullptr);
    show(c);
    click(c.bits_button(8));
    QTest::keyClicks(child<QLineEdit>(c, "fileNameEdit"), "no.wav");
    QTest::keyClick(&c, Qt::Key_Escape);
    EXPECT_EQ(cancelled.end_code(), kel::kIdCancel);
    EXPECT_TRUE(cancelled.file_name.empty());
    EXPECT_EQ(cancelled.bits, 16);
}

// ---- The open dialog's file panel --------------------------------------------------------

TEST_F(EditorDialogsTest, OpenPanelDescribesTheSelectedFileAndPlaysWaveFiles)
{
    kel::wave_device::set_backend(kel::wave_device::Backend::Virtual);
    const std::string wav = make_wave("song.wav", 22050);
    write_file(path("tune.voc"), std::string(1234, 'v'));
    ui::OpenFileDialog w(nullptr, "Open", QString::fromStdString(root), "All files (*)");
    show(w);
    QLabel* length = w.field(ui::OpenFileDialog::kLength);
    QLabel* type = w.field(ui::OpenFileDialog::kType);
    QLabel* format = w.field(ui::OpenFileDialog::kFormat);
    QLabel* date = w.field(ui::OpenFileDialog::kDate);
    EXPECT_EQ(w.panel()->title(), "  File specs   ");
    EXPECT_FALSE(w.play_button()->isEnabled());
    EXPECT_EQ(w.play_button()->text(), "&Play.");
    EXPECT_EQ(w.more_button()->text(), "&More...");

    pick(w, wav);
    const std::string size = std::to_string(read_file(wav).size()) + " bytes";
    EXPECT_EQ(length->text().toStdString(), size);
    EXPECT_EQ(type->text(), "MS RIFF Wave PCM");
    EXPECT_EQ(format->text(), "44100 kHz 16 bits Stereo");
    EXPECT_FALSE(date->text().isEmpty());
    EXPECT_TRUE(w.play_button()->isEnabled());
    // "&More..." shows the INFO items of a wave file.
    EXPECT_TRUE(w.more_button()->isEnabled());
    shot(w, "orlo-open-file-specs.png");

    click(w.play_button());
    EXPECT_EQ(w.play_button()->text(), "&Stop");
    EXPECT_TRUE(w.preview().playing());
    click(w.play_button());
    EXPECT_EQ(w.play_button()->text(), "&Play");
    EXPECT_FALSE(w.preview().playing());

    // Another kind of file: its type name, a blank format, no buttons.
    click(w.play_button());
    pick(w, path("tune.voc"));
    EXPECT_EQ(length->text(), "1234 bytes");
    EXPECT_EQ(type->text(), "Creative Labs VOC File");
    EXPECT_EQ(format->text(), " ");
    EXPECT_FALSE(w.play_button()->isEnabled());
    // A folder selected: the buttons go off and the fields stay.
    w.file_selected(QString::fromStdString(root));
    EXPECT_FALSE(w.play_button()->isEnabled());
    EXPECT_EQ(type->text(), "Creative Labs VOC File");

    // A preview still playing when the dialog closes is stopped with it.
    w.file_selected(QString::fromStdString(wav));
    w.play_pressed();
    EXPECT_TRUE(w.preview().playing());
    w.reject();
    EXPECT_FALSE(w.preview().playing());
    EXPECT_FALSE(w.preview().is_open());
    kel::wave_device::unset_backend();
}

TEST_F(EditorDialogsTest, TheFramesOpenGetsThePanelAndOtherFileDialogsDoNot)
{
    start();
    const std::string wav = make_wave("pick me.wav");
    QString seen;
    when_modal([&](QWidget* w) {
        auto* open = qobject_cast<ui::OpenFileDialog*>(w);
        if (!open) {
            w->close();
            return;
        }
        seen = open->windowTitle();
        pick(*open, wav);
        QMetaObject::invokeMethod(open, "accept");
        // Whatever happened, the dialog must not stay open.
        QTimer::singleShot(500, open, [open] { open->reject(); });
    });
    kel::FileDialogRequest request;
    request.title = "Open";
    request.directory = root;
    request.filter = "Wave files (*.wav)|*.wav|All files (*.*)|*.*";
    request.file_specs_panel = true;
    EXPECT_EQ(kel::ui().file_dialog(request), wav);
    EXPECT_EQ(seen, "Open");

    bool plain = false;
    when_modal([&](QWidget* w) {
        plain = qobject_cast<ui::OpenFileDialog*>(w) == nullptr;
        w->close();
    });
    request.file_specs_panel = false;
    request.title = "Delete Waveform File";
    kel::ui().file_dialog(request);
    EXPECT_TRUE(plain);
}

// ---- Presets -------------------------------------------------------------------------------

TEST_F(EditorDialogsTest, PresetSelectionNeedsAPickAndShowsItRedOnWhite)
{
    echo_presets();
    PresetSelectDialog model;
    model.on_open();
    ui::PresetSelectWindow w(model, nullptr);
    show(w);
    EXPECT_EQ(w.windowTitle(), "Select Echo / Reverb File");
    ASSERT_EQ(w.list()->count(), 3);
    EXPECT_EQ(w.list()->item(1)->text(), "Small room");
    // The row shown chosen is the one picked.
    EXPECT_EQ(w.list()->currentRow(), 0);
    ASSERT_EQ(w.list()->selectedItems().size(), 1);
    EXPECT_EQ(w.list()->selectedItems()[0]->text(), w.picked()->text());
    EXPECT_FALSE(w.picked()->text().isEmpty());
    for (int id : {1, 2, 373, 1405, 370, 1880})
        EXPECT_TRUE(w.button(id)) << id;
    EXPECT_EQ(w.button(1880)->text(), "&View");
    EXPECT_EQ(w.button(373)->text(), "&Create");
    EXPECT_TRUE(w.button(1)->isDefault());

    QListWidgetItem* item = w.list()->item(2);
    QTest::mouseClick(w.list()->viewport(), Qt::LeftButton, {},
                      w.list()->visualItemRect(item).center());
    EXPECT_EQ(w.picked()->text(), "Canyon");
    EXPECT_EQ(w.picked()->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_EQ(w.picked()->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_TRUE(w.picked()->autoFillBackground());
    shot(w, "orlo-preset-select.png");
    click(w.button(1880));
    EXPECT_EQ(model.end_code(), 1880);
    EXPECT_EQ(g_preset.chosen, "Canyon");
}

TEST_F(EditorDialogsTest, PresetSelectionDeletesCreatesAndDoubleClicks)
{
    echo_presets();
    PresetSelectDialog model;
    model.on_open();
    ui::PresetSelectWindow w(model, nullptr);
    show(w);
    QListWidgetItem* second = w.list()->item(1);
    QTest::mouseClick(w.list()->viewport(), Qt::LeftButton, {},
                      w.list()->visualItemRect(second).center());
    click(w.button(370));
    ASSERT_EQ(w.list()->count(), 2);
    EXPECT_EQ(w.list()->item(1)->text(), "Canyon");
    // The row shown chosen after the delete is the one picked.
    EXPECT_EQ(w.picked()->text(), w.list()->currentItem()->text());
    EXPECT_EQ(ini("Echo Presets", "Echo Preset2"), "Canyon");
    EXPECT_EQ(ini("Echo Presets", "Echo Preset3"), "<missing>");
    EXPECT_EQ(ini("Small room", "Echo Values1"), "<missing>");
    EXPECT_FALSE(model.ended());

    // A double click: the first press, then the double one.
    const QPoint first = w.list()->visualItemRect(w.list()->item(0)).center();
    QTest::mouseClick(w.list()->viewport(), Qt::LeftButton, {}, first);
    QTest::mouseDClick(w.list()->viewport(), Qt::LeftButton, {}, first);
    EXPECT_EQ(model.end_code(), 1);
    EXPECT_EQ(g_preset.chosen, "Hall");

    PresetSelectDialog create;
    create.on_open();
    ui::PresetSelectWindow c(create, nullptr);
    show(c);
    click(c.button(373));
    EXPECT_EQ(create.end_code(), 373);

    // Return takes the row shown chosen.
    PresetSelectDialog enter;
    enter.on_open();
    ui::PresetSelectWindow e(enter, nullptr);
    show(e);
    QTest::keyClick(e.list(), Qt::Key_Down);
    QTest::keyClick(e.list(), Qt::Key_Return);
    EXPECT_EQ(enter.end_code(), 1);
    EXPECT_EQ(g_preset.chosen, "Canyon");

    PresetSelectDialog cancel;
    cancel.on_open();
    ui::PresetSelectWindow x(cancel, nullptr);
    show(x);
    QTest::keyClick(&x, Qt::Key_Escape);
    EXPECT_EQ(cancel.end_code(), 2);
}

TEST_F(EditorDialogsTest, PresetSaveStoresTheValuesUnderTheTypedName)
{
    echo_presets();
    set_preset_context("KVSECHO.INI", "Save Echo / Reverb Values", "Echo Presets", "Echo Preset",
                       "Echo", "Echo Values");
    PresetSaveDialog model;
    model.on_open();
    ui::PresetSaveWindow w(model, nullptr);
    show(w);
    EXPECT_EQ(w.windowTitle(), "Save Echo / Reverb Values");
    EXPECT_EQ(w.list()->count(), 3);
    EXPECT_TRUE(w.name()->text().isEmpty());
    EXPECT_EQ(w.button(367)->text(), "&Save");
    // An empty name saves nothing.
    click(w.button(367));
    EXPECT_FALSE(model.ended());
    w.name()->setFocus();
    QTest::keyClicks(w.name(), "Big cave");
    shot(w, "orlo-preset-save.png");
    click(w.button(367));
    EXPECT_EQ(model.end_code(), 1);
    EXPECT_EQ(ini("Echo Presets", "Echo Preset4"), "Big cave");
    EXPECT_EQ(ini("Big cave", "Echo Values1"), "10 20 30");
}

TEST_F(EditorDialogsTest, PresetSaveOverAnExistingNameAsksFirst)
{
    echo_presets();
    PresetSaveDialog model;
    model.on_open();
    ui::PresetSaveWindow w(model, nullptr);
    show(w);
    // Picking an entry puts its name in the field.
    QTest::mouseClick(w.list()->viewport(), Qt::LeftButton, {},
                      w.list()->visualItemRect(w.list()->item(0)).center());
    EXPECT_EQ(w.name()->text(), "Hall");
    ui.answer(kel::kIdNo);
    click(w.button(367));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Replace existing file?");
    EXPECT_EQ(ui.boxes[0].caption, "FILE ALREADY EXISTS");
    EXPECT_FALSE(model.ended());
    EXPECT_TRUE(w.name()->text().isEmpty());
    EXPECT_EQ(ini("Hall", "Echo Values1"), "1 2 3");

    w.name()->setText("Hall");
    ui.answer(kel::kIdYes);
    click(w.button(367));
    EXPECT_FALSE(model.ended());
    EXPECT_EQ(ini("Hall", "Echo Values1"), "10 20 30");
    EXPECT_EQ(ini("Echo Presets", "Echo Preset4"), "<missing>");
    click(w.button(2));
    EXPECT_EQ(model.end_code(), 2);
}

// ---- Combine selection ---------------------------------------------------------------------

TEST_F(EditorDialogsTest, CombineDialogFollowsTheDestination)
{
    CombineSelectionDialog model(true, true);
    model.on_open();
    ui::CombineSelectionWindow w(model, nullptr);
    show(w);
    EXPECT_EQ(w.windowTitle(), "         Combine Selection With Destination");
    auto* paste = qobject_cast<QRadioButton*>(w.control(CombineSelectionDialog::kPaste));
    ASSERT_TRUE(paste);
    EXPECT_TRUE(paste->isChecked());
    EXPECT_FALSE(w.control(CombineSelectionDialog::kInsert)->isEnabled());
    EXPECT_FALSE(w.control(CombineSelectionDialog::kOverwrite)->isEnabled());
    EXPECT_EQ(qobject_cast<QAbstractButton*>(w.control(CombineSelectionDialog::kMixBoth))->text(),
              "-> &Both channels");
    EXPECT_EQ(w.slider(CombineSelectionDialog::kSourceSlider)->value(), 50);
    shot(w, "orlo-combine-selection.png");

    click(w.control(CombineSelectionDialog::kMixLeft));
    EXPECT_FALSE(paste->isChecked());
    click(w.control(CombineSelectionDialog::kOk));
    EXPECT_EQ(model.end_code(), 11307);
    EXPECT_EQ(g_clipboard.combine_mode, 11307);
    EXPECT_EQ(g_clipboard.mix_left, 1);
    EXPECT_EQ(g_clipboard.mix_right, 0);

    // A mono destination without a selection.
    CombineSelectionDialog mono(false, false);
    mono.on_open();
    ui::CombineSelectionWindow m(mono, nullptr);
    show(m);
    EXPECT_TRUE(
        qobject_cast<QRadioButton*>(m.control(CombineSelectionDialog::kInsert))->isChecked());
    EXPECT_FALSE(m.control(CombineSelectionDialog::kPaste)->isEnabled());
    EXPECT_EQ(qobject_cast<QAbstractButton*>(m.control(CombineSelectionDialog::kMixBoth))->text(),
              "&Mix");
    EXPECT_FALSE(m.control(CombineSelectionDialog::kMixLeft)->isEnabled());
    EXPECT_FALSE(m.control(CombineSelectionDialog::kMixRight)->isEnabled());
}

TEST_F(EditorDialogsTest, CombineGainsMoveOnlyUnderTheMouse)
{
    g_clipboard.source_gain = 1.0f;
    g_clipboard.destination_gain = 0.5f;
    CombineSelectionDialog model(false, true);
    model.on_open();
    ui::CombineSelectionWindow w(model, nullptr);
    show(w);
    QSlider* source = w.slider(CombineSelectionDialog::kSourceSlider);
    QSlider* dest = w.slider(CombineSelectionDialog::kDestinationSlider);
    EXPECT_EQ(dest->value(), 75);
    // The keyboard does not move them.
    source->setFocus();
    QTest::keyClick(source, Qt::Key_Up);
    QTest::keyClick(source, Qt::Key_PageDown);
    EXPECT_EQ(source->value(), 50);
    EXPECT_EQ(model.slider_position(CombineSelectionDialog::kSourceSlider), 50);
    // A press on the groove above the handle moves it up, toward the gain 2.0.
    const QPoint top(source->width() / 2, 3);
    QTest::mousePress(source, Qt::LeftButton, {}, top);
    QTest::mouseRelease(source, Qt::LeftButton, {}, top);
    pump(20);
    EXPECT_LT(source->value(), 50);
    EXPECT_EQ(model.slider_position(CombineSelectionDialog::kSourceSlider), source->value());
    const float gain = CombineSelectionDialog::gain_of_position(source->value());

    click(w.control(CombineSelectionDialog::kCrossFade));
    click(w.control(CombineSelectionDialog::kExponential));
    click(w.control(CombineSelectionDialog::kOk));
    EXPECT_EQ(model.end_code(), 11311);
    EXPECT_EQ(g_clipboard.crossfade_exponential, 1);
    EXPECT_FLOAT_EQ(g_clipboard.source_gain, gain);
    EXPECT_FLOAT_EQ(g_clipboard.destination_gain, 0.5f);
}

TEST_F(EditorDialogsTest, CombineCancelChangesNothing)
{
    CombineSelectionDialog model(false, true);
    model.on_open();
    ui::CombineSelectionWindow w(model, nullptr);
    show(w);
    click(w.control(CombineSelectionDialog::kCrossFade));
    click(w.control(CombineSelectionDialog::kExponential));
    click(w.control(CombineSelectionDialog::kCancel));
    EXPECT_EQ(model.end_code(), 2);
    EXPECT_EQ(g_clipboard.combine_mode, ClipboardState{}.combine_mode);
    EXPECT_EQ(g_clipboard.crossfade_exponential, 0);
}

// ---- Insert silence -------------------------------------------------------------------------

TEST_F(EditorDialogsTest, SilenceDialogTakesATimeOrTheSelectionLength)
{
    InsertSilenceDialog model(10);
    model.on_open();
    ui::InsertSilenceWindow w(model, nullptr);
    show(w);
    EXPECT_EQ(w.minutes()->text(), "0");
    EXPECT_EQ(w.seconds()->text(), "10");
    EXPECT_TRUE(w.time_choice()->isChecked());
    shot(w, "orlo-insert-silence.png");
    w.minutes()->selectAll();
    QTest::keyClicks(w.minutes(), "2");
    w.seconds()->selectAll();
    // Letters are not taken.
    QTest::keyClicks(w.seconds(), "x5");
    QTest::keyClick(w.seconds(), Qt::Key_Return);
    EXPECT_EQ(model.end_code(), 11500);
    EXPECT_EQ(model.total_seconds(), 125);

    InsertSilenceDialog selection(75);
    selection.on_open();
    ui::InsertSilenceWindow s(selection, nullptr);
    show(s);
    EXPECT_EQ(s.minutes()->text(), "1");
    EXPECT_EQ(s.seconds()->text(), "15");
    click(s.selection_choice());
    EXPECT_FALSE(s.minutes()->isEnabled());
    click(s.findChild<QPushButton*>("ok"));
    EXPECT_EQ(selection.end_code(), 11518);

    InsertSilenceDialog cancel(10);
    cancel.on_open();
    ui::InsertSilenceWindow c(cancel, nullptr);
    show(c);
    click(c.findChild<QPushButton*>("cancel"));
    EXPECT_EQ(cancel.end_code(), 2);
}

TEST_F(EditorDialogsTest, PluginDialogShowsAHintedSliderPerControl)
{
    PluginDialog model;
    model.plugins = parse_plugin_list("plugin\t/x/amp.so\t0\tamp_mono\tMono Amplifier\t1\t1\n"
                                      "control\t0\tGain\t0\t\t1\tl\n"
                                      "plugin\t/x/f.so\t3\tlpf\tLow Pass\t1\t1\n"
                                      "control\t0\tCutoff\t10\t10000\t1000\tl\n"
                                      "control\t3\tBypass\t0\t1\t0\tt\n"
                                      "control\t4\tStages\t1\t8\t2\ti\n"
                                      "garbage line\n");
    ASSERT_EQ(model.plugins.size(), 2u);
    model.chosen = 1;
    ui::PluginDialogWindow w(model, nullptr);
    show(w);
    ASSERT_EQ(w.sliders().size(), 3u);
    // A logarithmic range puts its geometric middle in the middle of the slider.
    EXPECT_EQ(w.sliders()[0]->value(), 667);
    w.sliders()[0]->setValue(PluginControl::kSliderSteps / 2);
    EXPECT_NEAR(model.plugins[1].controls[0].value, 316.23f, 0.01f);
    w.sliders()[1]->setValue(900);
    EXPECT_EQ(model.plugins[1].controls[1].value, 1.0f);
    w.sliders()[2]->setValue(300);
    EXPECT_EQ(model.plugins[1].controls[2].value, 3.0f);
    shot(w, "orlo-plugins.png");
    // The other plug-in: its unbounded gain still gets a slider around its default.
    w.plugins()->setCurrentIndex(0);
    ASSERT_EQ(w.sliders().size(), 1u);
    EXPECT_EQ(model.chosen, 0);
    click(w.findChild<QPushButton*>("ok"));
    EXPECT_EQ(model.end_code(), 1);
    EXPECT_FLOAT_EQ(model.current()->controls[0].value, 1.0f);
}

TEST_F(EditorDialogsTest, RealMediaDialogKeepsAFailureInItsStatusLine)
{
    // A source that is not there: the failure shows and the dialog stays up.
    RealMediaDialog failing(root + "missing.wav", root + "out.rm", 1);
    failing.on_open();
    ui::RealMediaDialogWindow f(failing, nullptr);
    show(f);
    EXPECT_EQ(f.audio()->itemText(0), "8 Kbps Voice");
    EXPECT_EQ(f.description()->text(),
              "Use this option for voice over 14.4 kbps modems.\nFrequency response: 4 kHz");
    EXPECT_FALSE(f.video_group()->isEnabled());
    click(f.findChild<QPushButton*>("1"));
    EXPECT_EQ(f.status()->text(), "Cannot open missing.wav.");
    EXPECT_TRUE(f.isVisible());
    EXPECT_FALSE(failing.ended());
    shot(f, "orlo-realmedia.png");
    click(f.findChild<QPushButton*>("2"));
    EXPECT_EQ(failing.end_code(), 2);

    WaveImage w;
    w.channels = 1;
    w.rate = 8000;
    w.samples = pcm16(noise16(8000, 7));
    write_file(root + "in.wav", w.bytes());
    RealMediaDialog good(root + "in.wav", root + "out.rm", 1);
    good.on_open();
    ui::RealMediaDialogWindow g(good, nullptr);
    show(g);
    click(g.findChild<QPushButton*>("1"));
    EXPECT_EQ(g.status()->text(), "Done.");
    EXPECT_EQ(g.progress()->value(), 100);
    EXPECT_EQ(good.end_code(), 1);
    EXPECT_GT(read_file(root + "out.rm").size(), 1000u);

    // A video source: the group is enabled with the engine's video codecs, the first one
    // chosen, quality 100 and 60 pictures a second.
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "needs ffmpeg";
    ASSERT_EQ(std::system(("cd " + root +
                           " && ffmpeg -v error -y -f lavfi -i testsrc=size=160x120:rate=10:"
                           "duration=1 -c:v mpeg4 clip.avi")
                              .c_str()),
              0);
    RealMediaDialog video(root + "in.wav", root + "out.rm", 1, {root + "clip.avi", 0});
    video.on_open();
    ui::RealMediaDialogWindow v(video, nullptr);
    show(v);
    EXPECT_TRUE(v.video_group()->isEnabled());
    ASSERT_EQ(v.video()->count(), 2);
    EXPECT_EQ(v.video()->itemText(0), "RealVideo (Standard)");
    EXPECT_EQ(v.video()->itemText(1), "RealVideo G2");
    EXPECT_EQ(v.video()->currentIndex(), 0);
    EXPECT_EQ(v.quality()->value(), 100);
    EXPECT_EQ(v.frame_rate()->value(), 60);
    EXPECT_EQ(v.findChild<QLabel*>("1006")->text(), "60");
    shot(v, "orlo-realmedia-video.png");
    // Cancel pressed while it encodes: the encoding stops, the dialog ends, no file.
    std::remove((root + "out.rm").c_str());
    QTimer canceller;
    int cancels = 0;
    QObject::connect(&canceller, &QTimer::timeout, [&] {
        if (video.encoding && !cancels++)
            click(v.findChild<QPushButton*>("2"));
    });
    canceller.start(0);
    click(v.findChild<QPushButton*>("1"));
    canceller.stop();
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(video.end_code(), 2);
    EXPECT_FALSE(v.isVisible());
    EXPECT_NE(v.status()->text(), "Done.");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(root + "out.rm")));
}

#ifdef KELVARA_HAVE_VIDEO_WINDOW
TEST_F(EditorDialogsTest, VideoWindowShowsThePictureAtThePlayPosition)
{
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "needs ffmpeg";
    const std::string clip = root + "clip.avi";
    ASSERT_EQ(std::system(("cd " + root +
                           " && ffmpeg -v error -y -f lavfi -i testsrc=size=160x120:rate=10:"
                           "duration=3 -c:v mpeg4 -q:v 2 clip.avi && for n in 10 20; do ffmpeg "
                           "-v error -y -i clip.avi -vf \"select=eq(n\\,$n)\" -frames:v 1 -f "
                           "rawvideo -pix_fmt rgb24 f$n.rgb; done")
                              .c_str()),
              0);
    // Mean difference per byte from ffmpeg's own picture.
    auto distance = [&](const QImage& image, const std::string& rgb) {
        const std::string want = read_file(root + rgb);
        if (image.width() != 160 || image.height() != 120 || want.size() != 160u * 120 * 3)
            return 255.0;
        double sum = 0;
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 480; ++x)
                sum += std::abs(int(image.constScanLine(y)[x]) -
                                int(static_cast<unsigned char>(want[y * 480 + x])));
        return sum / want.size();
    };
    CChildFrame doc;
    doc.video_source = 1;
    std::snprintf(doc.video_file, sizeof doc.video_file, "%s", clip.c_str());
    std::unique_ptr<ui::VideoWindow> w(ui::display_AVI_file(doc, nullptr));
    ASSERT_TRUE(w);
    ASSERT_TRUE(w->show_at(1.05));
    EXPECT_LT(distance(w->image(), "f10.rgb"), 3.0);
    ASSERT_TRUE(w->show_at(2.0));
    EXPECT_LT(distance(w->image(), "f20.rgb"), 3.0);
    EXPECT_GT(distance(w->image(), "f10.rgb"), 6.0);
    // Back again: it seeks.
    ASSERT_TRUE(w->show_at(1.0));
    EXPECT_LT(distance(w->image(), "f10.rgb"), 3.0);
    shot(*w, "orlo-video.png");

    // While the document plays, the window follows the play position by itself.
    PlaybackState& pb = playback_state();
    pb.is_playing = 1;
    pb.doc = &doc;
    pb.position = 2000;
    QTest::qWait(150);
    pb.is_playing = 0;
    pb.doc = nullptr;
    pb.position = 0;
    EXPECT_DOUBLE_EQ(w->shown_seconds(), 2.0);
    EXPECT_LT(distance(w->image(), "f20.rgb"), 3.0);
    // A document without a video source has none to show.
    CChildFrame plain;
    EXPECT_EQ(ui::display_AVI_file(plain, nullptr), nullptr);
}
#endif

// ---- System devices and the sampler ------------------------------------------------------

TEST_F(EditorDialogsTest, SystemDevicesFollowsTheChosenDevice)
{
    start();
    kel::wave_device::set_backend(kel::wave_device::Backend::Virtual);
    QStringList waves, midis;
    std::vector<QString> first, second;
    QString mapper_type, input_type;
    when_modal([&](QWidget* w) {
        EXPECT_EQ(w->objectName(), "ShowSystemDevices");
        EXPECT_EQ(w->windowTitle(), "System Hardware Sound Devices");
        auto* wave = child<QComboBox>(*w, "401");
        auto* midi = child<QComboBox>(*w, "394");
        ASSERT_TRUE(wave && midi);
        for (int i = 0; i < wave->count(); ++i)
            waves << wave->itemText(i);
        for (int i = 0; i < midi->count(); ++i)
            midis << midi->itemText(i);
        auto values = [&] {
            std::vector<QString> v;
            for (const char* name : {"channels", "bits", "rate", "version", "volume", "lr_volume"})
                v.push_back(child<QLabel>(*w, name)->text());
            return v;
        };
        first = values();
        mapper_type = child<QLabel>(*w, "type")->text();
        shot(*w, "system-devices.png");
        wave->setCurrentIndex(1);
        midi->setCurrentIndex(midi->count() - 1);
        second = values();
        input_type = child<QLabel>(*w, "type")->text();
        click(child(*w, "ok"));
    });
    app_->main_frame()->on_command(cmd::kSystemDevices);
    kel::wave_device::unset_backend();
    EXPECT_EQ(waves, (QStringList{"Virtual audio device", " Input (1)"}));
    ASSERT_FALSE(midis.isEmpty());
    EXPECT_EQ(midis.front(), "MIDI Mapper");
    EXPECT_EQ(first, (std::vector<QString>{"  Stereo", "  16 bits", "  44.100 kHz", " 1.0",
                                           " Volume - Yes", " L and R Channels"}));
    ASSERT_EQ(second.size(), 6u);
    EXPECT_EQ(second[4], " Volume - No");
    EXPECT_EQ(second[5], "");
    EXPECT_EQ(mapper_type, " Microsoft Midi Mapper");
    EXPECT_EQ(input_type, " Unknown Input");
}

TEST_F(EditorDialogsTest, SamplerOkSaysTheTransferIsNotSupported)
{
    start();
    QStringList groups, samplers;
    QString box_text, channel_text;
    when_modal([&](QWidget* w) {
        EXPECT_EQ(w->objectName(), "EMUSAMPLER");
        EXPECT_EQ(w->windowTitle(), "Communicate With Sampler");
        for (auto* g : w->findChildren<QGroupBox*>())
            groups << g->title();
        auto* from = child<QComboBox>(*w, "1002");
        ASSERT_TRUE(from && child<QComboBox>(*w, "1003"));
        samplers << from->itemText(0) << child<QComboBox>(*w, "1003")->itemText(0);
        auto* spin = child<QSpinBox>(*w, "231");
        ASSERT_TRUE(spin);
        spin->setValue(40);
        channel_text = child<QLineEdit>(*w, "260")->text();
        shot(*w, "sampler.png");
        when_modal([&](QWidget* box) {
            auto* m = qobject_cast<QMessageBox*>(box);
            ASSERT_TRUE(m);
            box_text = m->text();
            shot(*box, "sampler-not-supported.png");
            click(m->button(QMessageBox::Ok));
        });
        click(child(*w, "ok"));
    });
    app_->main_frame()->on_command(cmd::kSampler);
    EXPECT_EQ(groups, (QStringList{"Get Sample From... ", " Send Sample To... "}));
    EXPECT_EQ(samplers,
              (QStringList{"Amazing EMU-Systems Sampler", "Amazing EMU-Systems Sampler"}));
    EXPECT_EQ(channel_text, "16");
    EXPECT_EQ(box_text, "Sample transfer to and from samplers is not supported.");
    EXPECT_FALSE(QApplication::activeModalWidget());
}

// ---- All of them in the program -------------------------------------------------------------

TEST_F(EditorDialogsTest, TheProgramShowsEveryDialogUnderItsTemplateName)
{
    start();
    echo_presets();
    SaveAsDialog save;
    save.directory = root;
    PresetSelectDialog select;
    PresetSaveDialog preset_save;
    CombineSelectionDialog combine(true, true);
    InsertSilenceDialog silence(10);
    PluginDialog plugins;
    RealMediaDialog realmedia("", "", 1);
    AmplifyDialog amplify;
    FadeDialog fade;
    PanDialog pan;
    ModulateDialog modulate;
    effra::CompressorDialog compressor(effra::gain_settings(), 32767);
    effra::EnvelopeDialog envelope(effra::gain_settings(), 2);
    effra::SpatialDialog spatial(effra::spatial_settings());
    effra::TonesDialog tones(effra::tone_settings(), 2, 44100);
    SystemDevicesDialog devices;
    SamplerDialog sampler;
    kel::DialogModel* models[] = {
        &save, &select,   &preset_save, &combine,  &silence, &plugins, &amplify, &fade,
        &pan,  &modulate, &compressor,  &envelope, &spatial, &tones,   &devices, &sampler};
    for (kel::DialogModel* m : models) {
        EXPECT_TRUE(ui::has_dialog(m->template_name())) << m->template_name();
        QString shown;
        when_modal([&](QWidget* w) {
            shown = w->objectName();
            QTest::keyClick(w, Qt::Key_Escape);
        });
        EXPECT_EQ(kel::ui().run_modal(*m), kel::kIdCancel) << m->template_name();
        EXPECT_EQ(shown.toStdString(), m->template_name());
    }
}
