// The OCW encoder: low-pass, decimate with dither into an intermediate PCM file whose
// header carries the rate marker, then code it as ADPCM with the converter.
#include "editor/files/ocw_encoder.h"

#include "common/child_frame.h"
#include "common/host_services.h"
#include "editor/files/wave_convert.h"
#include "editor/modules/operations.h"
#include "formats/ocw_rate.h"
#include "platform/paths.h"
#include "platform/riff.h"
#include "platform/safe_write.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

static_assert(std::endian::native == std::endian::little, "samples are used as they lie");

namespace {

struct Choice
{
    const char* text;
    float ratio;
};

constexpr Choice kChoiceTable[OcwCompressionDialog::kChoices] = {
    {"480,000 bps (best quality, least compression)", 1.47f},
    {"400,000 bps", 1.764f},
    {"360,000 bps", 2.0f},
    {"320,000 bps (compression = 8.7:1)", 2.205f},
    {"250,000 bps (compression = 12:1)", 2.8224f},
};

constexpr size_t kBlockBytes = 131072;
constexpr size_t kReadBytes = 65536;
constexpr int kReadWords = static_cast<int>(kReadBytes / 2);

bool valid_choice(int control)
{
    return control >= OcwCompressionDialog::kFirstChoice &&
           control < OcwCompressionDialog::kFirstChoice + OcwCompressionDialog::kChoices;
}

// Progress window, buffers and files released on every way out.
struct EncodeRun
{
    int working = -1;
    std::string intermediate; // the PCM stage, in this run's folder
    std::unique_ptr<kel::riff::File> out;
    int progress = 0;

    ~EncodeRun()
    {
        if (progress)
            terminate_message_dialog(progress);
        if (working >= 0)
            ::close(working);
        out.reset();
        if (!intermediate.empty())
            std::remove(intermediate.c_str());
    }
};

ssize_t read_fully(int fd, void* buffer, size_t count, off_t offset)
{
    size_t done = 0;
    while (done < count) {
        ssize_t n = ::pread(fd, static_cast<char*>(buffer) + done, count - done,
                            offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

// Decimates the range's frames [first, first + frames), held in `in`. Output frame n takes
// source frame trunc(n x r) counted from the range's start, so the picks keep their places
// across block edges and the file holds the range's timing exactly; `next_out` carries n
// from block to block. The number of words made.
size_t decimate_block(const int16_t* in, uint64_t first, int frames, int channels, float r,
                      uint64_t& next_out, const uint16_t* dither, int16_t* out)
{
    size_t k = 0;
    const double ratio = static_cast<double>(r);
    const uint64_t end = first + static_cast<uint64_t>(frames);
    for (;; ++next_out) {
        const auto source = static_cast<uint64_t>(static_cast<double>(next_out) * ratio);
        if (source >= end)
            break;
        const size_t index = static_cast<size_t>(source - first) * channels;
        for (int c = 0; c < channels; ++c) {
            const uint16_t v = static_cast<uint16_t>(static_cast<uint16_t>(in[index + c]) +
                                                     dither[(k + c) % kDitherEntries]);
            out[k + c] = static_cast<int16_t>(v);
        }
        k += static_cast<size_t>(channels);
    }
    return k;
}

// The low-pass has made a new current state of the document; unless kept, it is undone
// again when the compression fails.
struct FilterStep
{
    CChildFrame& doc;
    std::string unfiltered; // working file before the filter
    bool keep = false;

    ~FilterStep()
    {
        if (!keep && doc.undo_available && unfiltered == doc.undo_file())
            doc.undo_command();
    }
};

} // namespace

int OcwCompressionDialog::last_choice = OcwCompressionDialog::kFirstChoice;

void OcwCompressionDialog::select(int control)
{
    if (valid_choice(control))
        choice = control;
}

void OcwCompressionDialog::ok()
{
    stored_ratio = ratio(choice);
    last_choice = choice;
    end_dialog(kel::kIdOk);
}

void OcwCompressionDialog::cancel()
{
    end_dialog(kel::kIdCancel);
}

void OcwCompressionDialog::help()
{
    new_show_context_help(nullptr, kHelpContext);
}

const char* OcwCompressionDialog::label(int control)
{
    return valid_choice(control) ? kChoiceTable[control - kFirstChoice].text : "";
}

float OcwCompressionDialog::ratio(int control)
{
    return valid_choice(control) ? kChoiceTable[control - kFirstChoice].ratio : 0.0f;
}

void build_dither_table(uint16_t* table, std::time_t now)
{
    std::unique_ptr<int[]> t(new (std::nothrow) int[3 * kDitherEntries]);
    if (!t) {
        std::fill(table, table + kDitherEntries, uint16_t{0});
        return;
    }
    for (int n = 0; n < 3; ++n) {
        std::srand(static_cast<unsigned>(now + 10000 * n));
        for (int i = 0; i < kDitherEntries; ++i)
            t[n * kDitherEntries + i] = std::rand() & 0x7fff;
    }
    const int* t1 = t.get();
    const int* t2 = t1 + kDitherEntries;
    const int* t3 = t2 + kDitherEntries;
    for (int i = 0; i < kDitherEntries; ++i) {
        if (t1[i] > t2[i] && t1[i] > t3[i])
            table[i] = 0;
        else
            table[i] = t2[i] > t3[i] ? uint16_t{65528} : uint16_t{8};
    }
}

int compress_to_ocw(CChildFrame& doc, const std::string& target)
{
    OcwCompressionDialog dialog;
    if (kel::ui().run_modal(dialog) != kel::kIdOk || dialog.stored_ratio <= 0.0f)
        return 0;
    const float r = dialog.stored_ratio;

    std::unique_ptr<uint16_t[]> dither(new (std::nothrow) uint16_t[kDitherEntries]);
    if (!dither) {
        NewErrMsg(5001);
        return 0;
    }
    build_dither_table(dither.get(), std::time(nullptr));

    // Refused before the filter, so a refusal leaves the document untouched.
    if (doc.wave_format.bits_per_sample != 16) {
        ErrMsg("This algorithm is designed for 16 bit files only.");
        return 0;
    }
    const ModuleCalls& modules = module_calls();
    if (!modules.do_filter_waveform) {
        ErrMsg("%s: this format needs a module that is not installed.",
               kel::paths::file_part(target).c_str());
        return 0;
    }
    const std::string unfiltered = doc.working_file();
    if (!modules.do_filter_waveform(doc, 22050.0f / r, "LOPASS", "Antialiasing filtering"))
        return 0;
    // From here on a failure takes the filter step back: a Save As that wrote nothing
    // usable must not leave the sound changed.
    FilterStep filter{doc, unfiltered};

    const int channels = std::max<int>(1, doc.wave_format.channels);
    long start = 0;
    long end = doc.current.total_samples;
    if (doc.current.has_selection && doc.current.select_end > doc.current.select_start) {
        // Whole frames, so a stereo range never starts on the right channel.
        start = doc.current.select_start / channels * channels;
        end = doc.current.select_end / channels * channels;
    }
    const uint64_t range = static_cast<uint64_t>(end - start) * 2;
    // Whole frames only, so the converter sees no half frame at the end.
    const uint64_t frame_bytes = static_cast<uint64_t>(channels) * 2;
    const uint64_t expected =
        static_cast<uint64_t>(static_cast<double>(range) / r) / frame_bytes * frame_bytes;

    EncodeRun run;
    run.working = ::open(doc.working_file(), O_RDONLY | O_CLOEXEC);
    if (run.working < 0) {
        NewErrMsg(5009);
        return 0;
    }
    // The target is replaced only by the finished OCW file: until then an earlier file of
    // that name stays as it was, and the PCM stage never appears under the target's name.
    kel::SafeWrite out(target);
    if (!out.ok()) {
        NewErrMsg(5031, out.error_text());
        return 0;
    }
    const std::string folder = run_directory();
    if (folder.empty()) {
        NewErrMsg(5031, kel::file_error_text(errno));
        return 0;
    }
    run.intermediate = folder + "ocwsave.wav";
    run.out = kel::riff::File::open(run.intermediate, kel::riff::File::Mode::Create);
    if (!run.out) {
        NewErrMsg(5031, kel::file_error_text(errno));
        return 0;
    }
    last_format = doc.wave_format;
    last_format.format_tag = kWaveFormatPcm;
    last_format.avg_bytes_per_sec = kel::ocw::marker_for_ratio(r);
    errno = 0;
    if (!create_waveform_format_header(run.out.get(), 0)) {
        NewErrMsg(5031, kel::file_error_text(errno));
        return 0;
    }

    std::unique_ptr<int16_t[]> source(new (std::nothrow) int16_t[kBlockBytes / 2]());
    std::unique_ptr<int16_t[]> output(new (std::nothrow) int16_t[kBlockBytes / 2]());
    if (!source || !output) {
        NewErrMsg(5001);
        return 0;
    }
    run.progress = display_message_dialog("Compressing waveform", 1);
    show_percent_done(run.progress, 0);

    const off_t first = static_cast<off_t>(start) * 2;
    uint64_t read_bytes = 0;
    uint64_t written = 0;
    uint64_t next_out = 0;
    while (read_bytes < range) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(kReadBytes, range - read_bytes));
        const ssize_t got =
            read_fully(run.working, source.get(), want, first + static_cast<off_t>(read_bytes));
        if (got < 0) {
            NewErrMsg(5009);
            return 0;
        }
        const int words = static_cast<int>(got / 2) / channels * channels;
        if (words == 0)
            break;
        const uint64_t first_frame = read_bytes / frame_bytes;
        const size_t made = decimate_block(source.get(), first_frame, words / channels, channels, r,
                                           next_out, dither.get(), output.get());
        uint64_t bytes = made * 2;
        const bool last = written + bytes >= expected;
        if (last)
            bytes = expected - written;
        errno = 0;
        if (run.out->write(output.get(), static_cast<int64_t>(bytes)) !=
            static_cast<int64_t>(bytes)) {
            NewErrMsg(5031, kel::file_error_text(errno));
            return 0;
        }
        written += bytes;
        read_bytes += static_cast<uint64_t>(got);
        if (last)
            break;
        show_percent_done(run.progress, static_cast<int>(read_bytes * 100 / range));
        // The file keeps what is written and is still coded.
        if (cancel_button_pressed(run.progress))
            break;
    }
    terminate_message_dialog(run.progress);
    run.progress = 0;
    source.reset();
    output.reset();
    errno = 0;
    const bool sized = ascend_and_update_waveform_file(run.out.get()) == 0;
    const bool closed = run.out->close() && sized;
    const int close_error = errno;
    run.out.reset();
    ::close(run.working);
    run.working = -1;
    if (!closed) {
        NewErrMsg(5031, kel::file_error_text(close_error));
        return 0;
    }

    // The converter codes straight into the temporary file beside the target.
    ocw_rate_marker_mode = 1;
    const int coded =
        convert_wave_file(doc.owner_window, run.intermediate.c_str(), out.temp_path().c_str());
    ocw_rate_marker_mode = 0;
    if (!coded) {
        ErrMsg("Failed to decompress file");
        return 0;
    }
    if (!out.commit()) {
        ErrMsgDetail("Failed to rename file", out.error_text());
        return 0;
    }

    struct stat st
    {
    };
    const double length =
        ::stat(out.final_path().c_str(), &st) == 0 ? static_cast<double>(st.st_size) : 0.0;
    char text[100];
    std::snprintf(text, sizeof text, "File compression = %f",
                  length > 0.0 ? static_cast<double>(range) / length : 0.0);
    filter.keep = true;
    kel::ui().message_box(text, "File Compression Successful", kel::Buttons::Ok, kel::Icon::None);
    return 1;
}
