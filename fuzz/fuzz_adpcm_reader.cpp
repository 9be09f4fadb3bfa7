// The ADPCM converter's wave reader and the conversion behind it, fed arbitrary bytes.
// The reader works on files, so each input is written to a scratch file first.
#include "editor/files/wave_conv_reader.h"
#include "editor/files/wave_convert.h"
#include "platform/ui.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string dir = [] {
        const char* t = std::getenv("TMPDIR");
        std::string d =
            std::string(t ? t : "/tmp") + "/kelvara-fuzz-adpcm-" + std::to_string(getpid());
        mkdir(d.c_str(), 0700);
        return d;
    }();
    if (size > (1u << 20))
        return 0;
    const std::string in = dir + "/in.wav";
    const std::string out = dir + "/out.wav";
    std::FILE* f = std::fopen(in.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    static kel::HeadlessUi ui;
    ui.clear();
    // Both answers to the missing-"fact" prompt get walked.
    ui.answer(size & 1 ? kel::kIdYes : kel::kIdNo);
    kel::set_ui(&ui);
    WaveConvSource source;
    if (wave_conv_read_source(in, source))
        convert_wave_file(nullptr, in.c_str(), out.c_str());
    std::remove(out.c_str());
    kel::set_ui(nullptr);
    return 0;
}
