// Sections dropped on another document and on the playlist window, as real drop events.
#include "editor/devices/playback_controller.h"
#include "editor/document/markers.h"
#include "editor/edit/combine_dialog.h"
#include "editor/view/ui/cue_list_box.h"
#include "editor/view/ui/document_view.h"
#include "editor/view/ui/playlist_window.h"
#include "editor/view/ui/section_drag.h"
#include "editor/view/ui/waveform_area.h"
#include "editor/view/ui/waveform_image.h"
#include "editor/view/view_colors.h"
#include "tests/support/edit_fixture.h"
#include "tests/view_ui/qt_app.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>

namespace {

std::string words16(int first, int count)
{
    std::vector<int16_t> w;
    for (int i = 0; i < count; ++i)
        w.push_back(static_cast<int16_t>(first + i));
    return pcm16(w);
}

// Enter, then drop; true when the target took the drop.
bool drop_on(QWidget* target, const CChildFrame& source)
{
    std::unique_ptr<QMimeData> data(section_mime_data(source));
    QDragEnterEvent enter(QPoint(20, 60), Qt::CopyAction, data.get(), Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(20, 60), Qt::CopyAction, data.get(), Qt::LeftButton, {});
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

class DropTest : public EditTest
{
  protected:
    void SetUp() override
    {
        test_app();
        EditTest::SetUp();
        list = Playlist();
    }
    void TearDown() override
    {
        views.clear();
        for (auto& d : docs)
            documents::remove(d.get());
        EditTest::TearDown();
    }
    CChildFrame* open_view(const std::string& samples, const std::string& name)
    {
        CChildFrame* doc = open_doc(samples, 2, 16, 44100, name);
        views.push_back(std::make_unique<DocumentView>(doc));
        documents::add(doc);
        views.back()->resize(600, 300);
        return doc;
    }
    Playlist list;
    std::vector<std::unique_ptr<DocumentView>> views;
};

} // namespace

TEST_F(DropTest, SectionDroppedOnAnotherDocumentGoesThroughTheCombineDialog)
{
    CChildFrame* a = open_view(words16(100, 400), "a.wav");
    CChildFrame* b = open_view(words16(9000, 40), "b.wav");
    select(a, 8, 24);
    select(b, 4, 4, 0);
    ui.on_dialog("COPYSELECTION", [](kel::DialogModel& d) {
        auto& c = static_cast<CombineSelectionDialog&>(d);
        c.choose_mode(CombineSelectionDialog::kInsert);
        c.ok();
    });
    EXPECT_TRUE(drop_on(views[1].get(), *a));
    EXPECT_EQ(contents(b), words16(9000, 4) + words16(108, 16) + words16(9004, 36));
    // A drop on its own source is refused; a cancelled dialog changes nothing.
    EXPECT_FALSE(drop_on(views[0].get(), *a));
    ui.on_dialog("COPYSELECTION",
                 [](kel::DialogModel& d) { static_cast<CombineSelectionDialog&>(d).cancel(); });
    const std::string before = contents(b);
    drop_on(views[1].get(), *a);
    EXPECT_EQ(contents(b), before);
    // Anything that is not a section of an open document is not taken.
    QMimeData text;
    text.setText("hello");
    QDragEnterEvent enter(QPoint(5, 60), Qt::CopyAction, &text, Qt::LeftButton, {});
    QApplication::sendEvent(views[1].get(), &enter);
    EXPECT_FALSE(enter.isAccepted());
}

TEST_F(DropTest, PlaylistWindowTakesDropsAndDeletesEntries)
{
    CChildFrame* a = open_view(words16(100, 400), "Drums.wav");
    CChildFrame* b = open_view(words16(9000, 40), "Bass.wav");
    PlaylistWindow window(list);
    EXPECT_EQ(window.windowTitle(), "  Multitrack List");
    select(a, 8, 24);
    select(b, 0, 16);
    EXPECT_TRUE(drop_on(&window, *a));
    EXPECT_TRUE(drop_on(&window, *b));
    ASSERT_EQ(window.list_box()->count(), 2);
    EXPECT_EQ(window.list_box()->item(1)->text(), " Bass.wav                    ");
    EXPECT_EQ(list.entry(0).start, 8);
    EXPECT_EQ(list.entry(0).end, 24);
    window.list_box()->setCurrentRow(0);
    window.findChild<QPushButton*>("370")->click(); // Delete entry
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(window.list_box()->item(0)->text().trimmed(), "Bass.wav");

    CChildFrame* dest = nullptr;
    window.set_destination_factory([&] {
        dest = open_view(std::string(8, '\0'), "new.wav");
        return dest;
    });
    window.findChild<QPushButton*>("298")->click(); // Build composite waveform
    ASSERT_TRUE(dest);
    EXPECT_EQ(contents(dest), words16(9000, 16));
}

TEST_F(DropTest, CueListMarksADroppedSectionPlaysItAndTheViewDrawsItsFlags)
{
    CChildFrame* a = open_view(words16(100, 40000), "Song.wav");
    CueListBox cues;
    select(a, 10000, 30000);
    EXPECT_TRUE(drop_on(&cues, *a));
    ASSERT_EQ(markers_of(*a).count(), 2);
    EXPECT_EQ(markers_of(*a).entries[0].partner, 1);
    ASSERT_EQ(cues.count(), 2);
    EXPECT_TRUE(cues.itemText(0).startsWith("Marker 10000, Time: "));

    // The flags stand where their positions fall, in the marker colour, and the first
    // made is the one under the pointer.
    // (Nothing highlighted, so that no inverted background can pass for a flag.)
    select(a, 0, 0, 0);
    WaveformArea* area = views[0]->area();
    const QImage shot = area->grab().toImage();
    QDir().mkpath(KELVARA_SCREENSHOT_DIR);
    shot.save(QString(KELVARA_SCREENSHOT_DIR) + "/markers.png");
    const QColor flag = QColor::fromRgb(to_qrgb(view_colors().marker));
    for (const Marker& m : markers_of(*a).entries) {
        const int x = static_cast<int>(std::floor(sample_to_x(*a, m.position)));
        int hits = 0;
        for (int dx = -kFlagHalfWidth; dx <= kFlagHalfWidth; ++dx)
            for (int y = area->height() - kFlagTop; y < area->height() - kFlagBottom; ++y)
                hits += QColor(shot.pixel(x + dx, y)) == flag;
        EXPECT_GT(hits, 4) << m.position;
        EXPECT_EQ(area->marker_at_point(x + 1, area->height() - 6),
                  &m - markers_of(*a).entries.data());
    }

    // Choosing the end marker plays the pair's interval.
    ASSERT_EQ(cues.play_entry(1), 1);
    EXPECT_TRUE(playback::is_playing());
    EXPECT_EQ(a->current.select_start, 10000);
    EXPECT_EQ(a->current.select_end, 30000);
    EXPECT_EQ(a->play_from, 10000u);
    EXPECT_EQ(a->play_to, 30000u);
    playback::release(*a);

    // That passage dropped on the playlist is labelled with its marker's name.
    PlaylistWindow window(list);
    EXPECT_TRUE(drop_on(&window, *a));
    EXPECT_EQ(window.list_box()->item(0)->text().toStdString(),
              playlist_line(a->file_title, "Marker 10000"));
}
