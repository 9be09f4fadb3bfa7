// Opens the wave files named on the command line into documents and tells what they hold.
#include "common/child_frame.h"
#include "common/host_services.h"
#include "platform/ui.h"

#include <cstdio>

namespace {

// Message boxes go to the terminal.
class ConsoleUi : public kel::HeadlessUi
{
public:
    int message_box(const std::string& text, const std::string& caption, kel::Buttons b,
                    kel::Icon i) override
    {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return kel::HeadlessUi::message_box(text, caption, b, i);
    }
};

} // namespace

int main(int argc, char** argv)
{
    ConsoleUi console;
    kel::set_ui(&console);
    if (argc < 2) {
        std::fprintf(stderr, "usage: orlo FILE.WAV...\n");
        return 2;
    }
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        auto doc = CChildFrame::create_from_file(argv[i]);
        if (!doc) {
            std::fprintf(stderr, "%s: not opened\n", argv[i]);
            ++failures;
            continue;
        }
        const WaveFormat& f = doc->wave_format;
        std::printf("%s\n", doc->file_title);
        std::printf("  format       %u Hz, %u bits, %s\n", f.sample_rate, f.bits_per_sample,
                    f.channels == 2 ? "stereo" : "mono");
        std::printf("  samples      %ld sample words (%ld frames)\n", doc->current.total_samples,
                    doc->current.total_samples / f.channels);
        std::printf("  duration     %.3f s\n",
                    doc->current.total_samples / double(f.channels) / f.sample_rate);
        std::printf("  working file %s\n", doc->current.file_name);
        std::printf("  levels       %d (overview: %ld words)\n", doc->current.level_count,
                    doc->current.level_samples[1]);
    }
    return failures ? 1 : 0;
}
