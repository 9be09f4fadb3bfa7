// A new document starts from a tiny wave file that exists only until it is opened. It is
// made in the run's folder: a "SAMPLE1.WAV" of the user's in the current folder stays.
#include "editor/files/new_file.h"

#include "common/host_services.h"
#include "editor/document/recovery.h"
#include "editor/document/working_files.h"
#include "platform/paths.h"
#include "platform/riff.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <unistd.h>

int g_new_file_counter = 1;

void CreateNewFileDialog::on_open()
{
    opened_with_ = play_format;
}

void CreateNewFileDialog::choose_bits(int bits)
{
    play_format.bits = static_cast<uint16_t>(bits == 16 ? 16 : 8);
    play_format.bytes_per_sample = play_format.bits / 8;
}

void CreateNewFileDialog::choose_channels(int channels)
{
    play_format.channels = static_cast<uint16_t>(channels == 2 ? 2 : 1);
}

void CreateNewFileDialog::choose_rate(unsigned rate)
{
    play_format.sample_rate = rate == 44100 ? 44100 : rate == 22050 ? 22050 : 11025;
}

void CreateNewFileDialog::cancel()
{
    play_format = opened_with_;
    end_dialog(2);
}

void CreateNewFileDialog::help()
{
    new_show_context_help(nullptr, 11200);
}

std::unique_ptr<CChildFrame> create_new_wave_file(bool with_dialog)
{
    if (with_dialog) {
        CreateNewFileDialog dialog;
        if (kel::ui().run_modal(dialog) != 1)
            return nullptr;
    }
    const std::string dir = run_directory();
    char name[64];
    std::snprintf(name, sizeof name, "SAMPLE%d.WAV", g_new_file_counter++);
    const std::string path = dir + name;

    auto file = dir.empty() ? nullptr : kel::riff::File::open(path, kel::riff::File::Mode::Create);
    if (!file) {
        const int error = dir.empty() ? data_directory_error() : errno;
        kel::ui().beep();
        ErrMsg("Can't create uninitialized %s\n%s", name, working_file_problem(error).c_str());
        return nullptr;
    }
    auto give_up = [&](const char* message) {
        ErrMsg("%s", message);
        file->close();
        ::unlink(path.c_str());
        return nullptr;
    };
    kel::riff::Chunk riff;
    riff.type = kel::riff::fourcc("WAVE");
    if (file->create_chunk(riff, kel::riff::kCreateRiff) != kel::riff::kOk)
        return give_up("Can't create RIFF chunk, nf 1512");
    kel::riff::Chunk fmt;
    fmt.id = kel::riff::fourcc("fmt ");
    fmt.size = 16;
    if (file->create_chunk(fmt, 0) != kel::riff::kOk)
        return give_up("Can't create info chunk, nf 1521");

    const uint16_t bps = play_format.bits / 8 ? play_format.bits / 8 : 1;
    last_format.format_tag = 1;
    last_format.channels = play_format.channels;
    last_format.sample_rate = play_format.sample_rate;
    last_format.avg_bytes_per_sec = bps * play_format.channels * play_format.sample_rate;
    last_format.block_align = static_cast<uint16_t>(bps * play_format.channels);
    last_format.bits_per_sample = play_format.bits;
    uint8_t body[16];
    last_format.to_bytes(body);
    if (file->write(body, 16) != 16)
        return give_up("Can't mmioWrite, nf 1538");
    file->ascend(fmt);

    kel::riff::Chunk data;
    data.id = kel::riff::fourcc("data");
    static const uint8_t silence[8] = {0x80, 0x00, 0x80, 0x00, 0x80, 0x00, 0x80, 0x00};
    if (file->create_chunk(data, 0) != kel::riff::kOk || file->write(silence, 8) != 8)
        return give_up("Can't write wave data chunk, nf 1551");
    bool closed = file->ascend(data) == kel::riff::kOk && file->ascend(riff) == kel::riff::kOk;
    closed = file->close() && closed;
    if (!closed) {
        ErrMsg("Can't write wave data chunk, nf 1551");
        ::unlink(path.c_str());
        return nullptr;
    }
    auto doc = CChildFrame::create_from_file(path.c_str());
    ::unlink(path.c_str());
    if (doc) {
        std::snprintf(doc->file_title, sizeof doc->file_title, "%.19s", name);
        // Not a file of the user's until the first Save As.
        doc->remember_file("");
        recovery::note(*doc);
    }
    return doc;
}
