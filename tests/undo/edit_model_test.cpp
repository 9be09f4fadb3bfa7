// Random sequences of edits, undo and redo checked against a plain byte vector edited the
// same way.
#include "editor/edit/edit_commands.h"
#include "editor/edit/silence_dialog.h"
#include "tests/support/edit_fixture.h"

#include <random>

namespace {

struct State
{
    std::string bytes;
    long start = 0; // sample words
    long end = 0;
    int has = 0;
};

class Model
{
  public:
    Model(int channels, int bits, long rate, std::string initial)
        : bps_(bits / 8), align_(channels * bits / 8), channels_(channels), rate_(rate)
    {
        cur.bytes = std::move(initial);
        cur.end = total();
    }

    long total() const { return static_cast<long>(cur.bytes.size()) / bps_; }
    bool highlighted() const { return cur.has && cur.end > cur.start; }

    void cut()
    {
        if (cur.end <= cur.start)
            return;
        auto [s, e] = range();
        clip_ = cur.bytes.substr(s, e - s);
        clip_has_ = true;
        State next = cur;
        next.bytes = cur.bytes.substr(0, s) + cur.bytes.substr(e);
        pad(next);
        next.start = next.end = s / bps_;
        next.has = 0;
        commit(next);
    }
    void copy()
    {
        if (cur.end <= cur.start)
            return;
        auto [s, e] = range();
        clip_ = cur.bytes.substr(s, e - s);
        clip_has_ = true;
    }
    void paste() { combine(11305); }
    void replace() { combine(11306); }
    void mix() { combine(11307); }
    void crop()
    {
        if (!highlighted())
            return;
        auto [s, e] = range();
        clip_ = cur.bytes.substr(s, e - s);
        clip_has_ = true;
        State next = cur;
        next.bytes = clip_;
        pad(next);
        next.start = 0;
        next.end = static_cast<long>(next.bytes.size()) / bps_;
        next.has = 0;
        commit(next);
    }
    void trim()
    {
        if (!highlighted())
            return;
        State next = cur;
        const char silence = bps_ == 1 ? static_cast<char>(128) : 0;
        for (long i = 0; i < cur.start * bps_; ++i)
            next.bytes[i] = silence;
        for (long i = cur.end * bps_; i < static_cast<long>(next.bytes.size()); ++i)
            next.bytes[i] = silence;
        commit(next);
    }
    void insert_silence_seconds(long seconds) { insert_silence_words(seconds * channels_ * rate_); }
    void insert_silence_selection()
    {
        if (!highlighted())
            return;
        insert_silence_words(cur.end - cur.start);
    }
    void undo()
    {
        if (!undo_available)
            return;
        cur = undo_;
        undo_available = false;
        redo_available = true;
    }
    void redo()
    {
        if (!redo_available)
            return;
        cur = redo_;
        undo_available = true;
        redo_available = false;
    }

    State cur;
    int commits = 0;
    bool undo_available = false;
    bool redo_available = false;

  private:
    std::pair<long, long> range() const
    {
        const long t = static_cast<long>(cur.bytes.size());
        long e = std::clamp(cur.end * bps_ / align_ * align_, 0L, t);
        long s = std::clamp(cur.start * bps_ / align_ * align_, 0L, e);
        return {s, e};
    }
    void pad(State& st) const
    {
        const char silence = bps_ == 1 ? static_cast<char>(128) : 0;
        while (st.bytes.size() < 4)
            st.bytes.push_back(silence);
    }
    void clamp_selection(State& st) const
    {
        const long t = static_cast<long>(st.bytes.size()) / bps_;
        st.end = std::clamp(st.end, 0L, t);
        st.start = std::clamp(st.start, 0L, st.end);
    }
    void commit(State next)
    {
        clamp_selection(next);
        undo_ = cur;
        redo_ = next;
        cur = next;
        undo_available = true;
        redo_available = false;
        ++commits;
    }
    int get(const std::string& b, long at) const
    {
        if (bps_ == 1)
            return static_cast<uint8_t>(b[at]) - 128;
        return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint8_t>(b[at]) |
                                                          (static_cast<uint8_t>(b[at + 1]) << 8)));
    }
    void put(std::string& b, int v) const
    {
        if (bps_ == 1) {
            b.push_back(static_cast<char>(v + 128));
        } else {
            b.push_back(static_cast<char>(v & 0xFF));
            b.push_back(static_cast<char>((v >> 8) & 0xFF));
        }
    }
    void combine(int code)
    {
        if (!clip_has_)
            return;
        auto [s, e] = range();
        const long t = static_cast<long>(cur.bytes.size());
        const long l = static_cast<long>(clip_.size()) / align_ * align_;
        State next = cur;
        std::string middle;
        if (code == 11307) {
            for (long off = 0; off + bps_ <= l; off += bps_) {
                const int a = get(clip_, off);
                const bool present = s + off + bps_ <= t;
                const int v = present ? (a + get(cur.bytes, s + off)) / 2 : a;
                const int limit = bps_ == 1 ? 127 : 32767;
                put(middle, std::clamp(v, -limit, limit));
            }
        } else {
            middle = clip_.substr(0, l);
        }
        const long tail_from = code == 11305 ? e : std::min(s + l, t);
        next.bytes = cur.bytes.substr(0, s) + middle + cur.bytes.substr(tail_from);
        pad(next);
        commit(next);
    }
    void insert_silence_words(long words)
    {
        const long l = words * bps_ / align_ * align_;
        if (l <= 0)
            return;
        auto [s, e] = range();
        (void)e;
        State next = cur;
        next.bytes = cur.bytes.substr(0, s) +
                     std::string(static_cast<size_t>(l), bps_ == 1 ? static_cast<char>(128) : 0) +
                     cur.bytes.substr(s);
        commit(next);
    }

    int bps_, align_, channels_;
    long rate_;
    State undo_, redo_;
    std::string clip_;
    bool clip_has_ = false;
};

class EditModelTest : public EditTest
{
  protected:
    void run(int channels, int bits, uint32_t rate, size_t initial_bytes, uint32_t seed, int steps)
    {
        std::mt19937 rng(seed);
        std::string initial;
        for (size_t i = 0; i < initial_bytes; ++i)
            initial.push_back(static_cast<char>(rng() & 0xFF));
        CChildFrame* doc = open_doc(initial, channels, bits, rate);
        ASSERT_NE(doc, nullptr);
        Model model(channels, bits, rate, initial);
        const int bps = bits / 8;

        for (int step = 0; step < steps; ++step) {
            const int op = static_cast<int>(rng() % 13);
            std::string what;
            switch (op) {
            case 0:
            case 1: {
                const long total = doc->current.total_samples;
                long a = static_cast<long>(rng() % static_cast<uint32_t>(total + 1));
                long b = rng() % 4 == 0
                             ? a
                             : static_cast<long>(rng() % static_cast<uint32_t>(total + 1));
                if (a > b)
                    std::swap(a, b);
                const int has = rng() % 5 == 0 ? 0 : 1;
                select(doc, a, b, has);
                model.cur.start = a;
                model.cur.end = b;
                model.cur.has = has;
                what = "select " + std::to_string(a) + ".." + std::to_string(b);
                break;
            }
            case 2:
                what = "cut";
                edit_cut(*doc);
                model.cut();
                break;
            case 3:
                what = "copy";
                edit_copy(*doc);
                model.copy();
                break;
            case 4:
                what = "paste";
                edit_paste(*doc);
                model.paste();
                break;
            case 5:
                what = "replace";
                edit_replace(*doc);
                model.replace();
                break;
            case 6:
                what = "mix";
                edit_mix(*doc);
                model.mix();
                break;
            case 7:
                what = "crop";
                edit_crop(*doc);
                model.crop();
                break;
            case 8:
                what = "trim";
                edit_trim(*doc);
                model.trim();
                break;
            case 9:
                if (rng() % 2) {
                    what = "silence 1 s";
                    ui.on_dialog("SILENCE", [](kel::DialogModel& m) {
                        auto& d = static_cast<InsertSilenceDialog&>(m);
                        d.set_minutes("0");
                        d.set_seconds("1");
                        d.use_time();
                    });
                    edit_insert_silence(*doc);
                    model.insert_silence_seconds(1);
                } else {
                    what = "silence of selection";
                    ui.on_dialog("SILENCE", [](kel::DialogModel& m) {
                        static_cast<InsertSilenceDialog&>(m).use_selection();
                    });
                    edit_insert_silence(*doc);
                    model.insert_silence_selection();
                }
                break;
            case 10:
            case 11:
                what = "undo";
                edit_command(*doc, 11600);
                model.undo();
                break;
            case 12:
                what = "redo";
                edit_command(*doc, 11601);
                model.redo();
                break;
            }
            SCOPED_TRACE("step " + std::to_string(step) + ": " + what);
            const std::string actual = contents(doc);
            ASSERT_EQ(actual.size(), model.cur.bytes.size());
            if (actual != model.cur.bytes) {
                size_t i = 0;
                while (actual[i] == model.cur.bytes[i])
                    ++i;
                FAIL() << "first difference at byte " << i << ": "
                       << int(static_cast<uint8_t>(actual[i])) << " instead of "
                       << int(static_cast<uint8_t>(model.cur.bytes[i])) << ", selection "
                       << doc->current.select_start << ".." << doc->current.select_end;
            }
            ASSERT_EQ(doc->current.total_samples, static_cast<long>(actual.size()) / bps);
            ASSERT_EQ(doc->current.select_start, model.cur.start);
            ASSERT_EQ(doc->current.select_end, model.cur.end);
            ASSERT_EQ(doc->undo_available != 0, model.undo_available);
            ASSERT_EQ(doc->redo_available != 0, model.redo_available);
            ASSERT_FALSE(doc->undo_setup_pending());
            // At most the current, undo and redo files plus the selection backup, and no
            // file that the document does not name.
            const auto files = tmp_files();
            ASSERT_LE(files.size(), 4u);
            for (const std::string& f : files) {
                ASSERT_TRUE(f == doc->working_file() || f == doc->undo_file() ||
                            f == doc->redo_file() || f == doc->selection_backup)
                    << f;
            }
            ASSERT_TRUE(ui.boxes.empty()) << ui.boxes.front().text;
        }
        // The sequence must have changed the document often enough to mean something.
        EXPECT_GT(model.commits, steps / 4);
        close_doc(doc);
        erase_clipboard();
        ASSERT_TRUE(tmp_files().empty());
    }
};

TEST_F(EditModelTest, EightBitMonoFollowsTheModel)
{
    for (uint32_t seed : {1u, 2u, 3u})
        run(1, 8, 8000, 3001, seed, 150);
}

TEST_F(EditModelTest, SixteenBitStereoFollowsTheModel)
{
    for (uint32_t seed : {11u, 12u, 13u})
        run(2, 16, 11025, 6000, seed, 150);
}

} // namespace
