// Any bytes as the bodies of "cue " and LIST/adtl, and as a whole wave file: the reader
// never reads outside what it was given, and what it keeps comes back through the writer.
#include "editor/document/markers.h"
#include "editor/files/cue_chunk.h"
#include "fuzz/support.h"

#include <cstdlib>

namespace {

void round_trip(const std::vector<CuePoint>& points)
{
    const MarkerTable table = markers_of_points(points, 2, 1L << 30);
    if (table.count() > kMaxMarkers)
        std::abort();
    const std::vector<CuePoint> again = cue_points_of(table, 2);
    const std::string out = fuzz::write_input(nullptr, 0, "cue-out.wav");
    {
        auto f = kel::riff::File::open(out, kel::riff::File::Mode::Create);
        if (!f)
            return;
        kel::riff::Chunk riff;
        riff.type = kel::riff::fourcc("WAVE");
        if (f->create_chunk(riff, kel::riff::kCreateRiff) != kel::riff::kOk ||
            cue_write(*f, again) != kel::riff::kOk || f->ascend(riff) != kel::riff::kOk)
            std::abort();
        f->close();
    }
    const std::vector<CuePoint> back = cue_read_wave_file(out);
    if (back.size() != again.size())
        std::abort();
    for (size_t i = 0; i < back.size(); ++i)
        if (back[i].frame != again[i].frame || back[i].length != again[i].length ||
            back[i].name != again[i].name.substr(0, again[i].name.find('\0')))
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::init_environment();
    // The first half as a cue body, the rest as an adtl body.
    const size_t half = size / 2;
    std::vector<CuePoint> points;
    if (cue_parse(data, half, points) && adtl_parse(data + half, size - half, points))
        round_trip(points);
    const std::string file = fuzz::write_input(data, size, "cue.wav");
    cue_read_wave_file(file);
    return 0;
}
