// Any bytes as a wave file: the header reader, and a document opened from what it accepts.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "fuzz/support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::init_environment();
    std::string file = fuzz::write_input(data, size, "input.wav");
    if (ReadInputWaveformHeader(file.c_str(), 1)) {
        auto doc = CChildFrame::create_from_file(file.c_str());
        if (doc && doc->current.level_count >= 1) {
            int ok = 0;
            doc->get_sample(doc->current, SlotRole::Current, 1, doc->current.level_samples[1] - 1,
                            &ok);
        }
    }
    return 0;
}
