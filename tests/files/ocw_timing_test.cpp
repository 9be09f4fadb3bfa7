// An hour of sound saved as OCW and opened again keeps its length and its timing at every
// bit rate: a click train goes through Save As and the import, and each click must come
// back where it was.
#include "common/host_services.h"
#include "editor/files/ocw_encoder.h"
#include "editor/files/ocw_import.h"
#include "editor/modules/operations.h"
#include "formats/msadpcm.h"
#include "platform/clock.h"
#include "tests/support/click_train.h"
#include "tests/support/edit_fixture.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void put32(char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<char>(v >> (8 * i));
}

// A mono 16-bit wave of `frames` frames of the train, written block by block.
void write_clicks(const std::string& file, const ClickTrain& train, uint64_t frames, uint32_t rate)
{
    std::FILE* f = std::fopen(file.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    char h[44] = {'R', 'I', 'F', 'F', 0,  0, 0, 0, 'W', 'A', 'V', 'E',
                  'f', 'm', 't', ' ', 16, 0, 0, 0, 1,   0,   1,   0};
    put32(h + 4, static_cast<uint32_t>(36 + frames * 2));
    put32(h + 24, rate);
    put32(h + 28, rate * 2);
    h[32] = 2;
    h[34] = 16;
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, static_cast<uint32_t>(frames * 2));
    ASSERT_EQ(std::fwrite(h, 1, 44, f), 44u);
    std::vector<int16_t> block(65536);
    for (uint64_t at = 0; at < frames; at += block.size()) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(block.size(), frames - at));
        for (size_t i = 0; i < n; ++i)
            block[i] = train.sample(at + i);
        ASSERT_EQ(std::fwrite(block.data(), 2, n, f), n);
    }
    ASSERT_EQ(std::fclose(f), 0);
}

} // namespace

// Keeps the DSP module linked in, as the encoder needs its low-pass entry.
int (CChildFrame::*ocw_timing_filter)(float, const char*,
                                      const char*) = &CChildFrame::do_filter_waveform;

class OcwTiming : public EditTest
{
  protected:
    void SetUp() override
    {
        EditTest::SetUp();
        // The converter codes and decodes an hour: its wait is given real time, not the
        // test clock's, so a loaded machine does not give it up.
        kel::clock::unfix();
        OcwCompressionDialog::last_choice = OcwCompressionDialog::kFirstChoice;
        const char* t = std::getenv("KELVARA_TEST_TOOLS");
        ASSERT_NE(t, nullptr);
        const std::string cmd =
            std::string("ln -sf '") + t + "/waveconv' '" + program + "waveconv'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        // The low-pass is zero-phase and moves nothing in time; an hour of it five times
        // over would only make the test slow, so it passes the sound through here.
        saved_ = module_calls();
        ModuleCalls calls = saved_;
        calls.do_filter_waveform = [](CChildFrame&, float, const char*, const char*) { return 1; };
        set_module_calls(calls);
    }
    void TearDown() override
    {
        set_module_calls(saved_);
        EditTest::TearDown();
    }
    ModuleCalls saved_;
};

TEST_F(OcwTiming, AnHourAtEveryBitRateComesBackWithItsLengthAndItsClicksInPlace)
{
    constexpr uint32_t kRate = 11025;
    const uint64_t frames = uint64_t{3600} * kRate;
    ClickTrain train;
    train.spacing = 4 * kRate;
    const std::string source = path("clicks.wav");
    write_clicks(source, train, frames, kRate);
    const int block_frames = kel::msadpcm::samples_per_block(256, 1);

    for (int choice = 2000; choice <= 2004; ++choice) {
        const float r = OcwCompressionDialog::ratio(choice);
        SCOPED_TRACE("r = " + std::to_string(r));
        auto doc = CChildFrame::create_from_file(source.c_str());
        ASSERT_NE(doc, nullptr);
        ui.on_dialog("OCW_FILE_COMPRESSION", [choice](kel::DialogModel& d) {
            auto& o = dynamic_cast<OcwCompressionDialog&>(d);
            o.select(choice);
            o.ok();
        });
        std::string name = path("clicks.ocw");
        ASSERT_EQ(compress_to_ocw(*doc, name), 1);
        doc.reset();
        ASSERT_EQ(ocw_to_wave(name), 1);
        ClickFinder finder(64);
        ASSERT_TRUE(scan_wave(name, finder));
        std::remove(name.c_str());

        // One ADPCM block, in the restored timing.
        const double block = block_frames * r;
        const double length_error =
            static_cast<double>(finder.frames()) - static_cast<double>(frames);
        ASSERT_EQ(finder.centres.size(), train.count(frames));
        const ClickOffsets at = click_offsets(finder, train);
        const double first = at.first, worst = at.worst, drift = at.last;
        std::printf("r %.4f: length %+.0f frames, first click %+.2f, last %+.2f, worst %+.2f\n", r,
                    length_error, first, drift, worst);
        EXPECT_LE(std::abs(length_error), block);
        EXPECT_LE(std::abs(worst), block);
        // What the rule gives: a frame of rounding each way, the same at the end as at the
        // start of the hour.
        EXPECT_LE(std::abs(length_error), r + 1);
        EXPECT_LE(std::abs(drift - first), 2.0);
    }
}
