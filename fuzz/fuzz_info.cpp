// Any bytes as the body of a LIST/INFO and as a whole wave file: what the reader keeps
// must come back unchanged through the writer.
#include "editor/files/info_chunk.h"
#include "fuzz/support.h"

#include <cstdlib>

namespace {

void round_trip(const InfoState& state)
{
    const std::string out = fuzz::write_input(nullptr, 0, "info-out.wav");
    {
        auto f = kel::riff::File::open(out, kel::riff::File::Mode::Create);
        if (!f)
            return;
        kel::riff::Chunk riff;
        riff.type = kel::riff::fourcc("WAVE");
        if (f->create_chunk(riff, kel::riff::kCreateRiff) != kel::riff::kOk ||
            info_write(*f, info_fields_of(state)) != kInfoOk || f->ascend(riff) != kel::riff::kOk)
            std::abort();
        f->close();
    }
    InfoState back;
    if (info_read_wave_file(out, back) != kInfoOk)
        std::abort();
    for (int i = 0; i < kInfoItemCount; ++i)
        if (back.current_text(i) != state.current_text(i))
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::init_environment();
    InfoState parsed;
    if (info_parse(data, size, parsed) == kInfoOk)
        round_trip(parsed);
    const std::string file = fuzz::write_input(data, size, "info.wav");
    InfoState from_file;
    info_read_wave_file(file, from_file);
    return 0;
}
