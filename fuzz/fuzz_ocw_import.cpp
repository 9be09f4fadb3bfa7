// Any bytes as an OCW file being opened: the import's check of the OCW header, and the
// same bytes as the outside decoder's result, stretched back at a rate that the input's
// length picks (some markers in range, some not).
#include "common/child_frame.h"
#include "editor/files/ocw_import.h"
#include "fuzz/support.h"

#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::init_environment();
    const std::string file = fuzz::write_input(data, size, "input.ocw");
    WaveFormat format;
    read_ocw_header(file, format);

    WaveFormat marker;
    marker.avg_bytes_per_sec = static_cast<uint32_t>(5000 + 1000 * (size % 96));
    const std::string output = run_directory() + "ocwimport.wav";
    if (ocw_restore_rate(marker, file, output)) {
        auto doc = CChildFrame::create_from_file(output.c_str());
        std::remove(output.c_str());
    }
    return 0;
}
