// Any bytes as a RIFF file: walk every chunk, descending into RIFF and LIST containers.
#include "fuzz/support.h"
#include "platform/riff.h"

namespace {

void walk(kel::riff::File& f, const kel::riff::Chunk* parent, int depth)
{
    for (int i = 0; i < 64; ++i) {
        kel::riff::Chunk ck;
        if (f.descend(ck, parent, 0) != kel::riff::kOk)
            return;
        if ((ck.id == kel::riff::kRiff || ck.id == kel::riff::kList) && depth < 8)
            walk(f, &ck, depth + 1);
        char buf[64];
        f.read(buf, sizeof buf);
        if (f.ascend(ck) != kel::riff::kOk)
            return;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::init_environment();
    std::string file = fuzz::write_input(data, size, "input.riff");
    auto f = kel::riff::File::open(file, kel::riff::File::Mode::Read);
    if (f)
        walk(*f, nullptr, 0);
    return 0;
}
