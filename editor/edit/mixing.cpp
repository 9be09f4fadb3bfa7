// The mixing and cross-fade middle part of the combining engine.
#include "editor/edit/mixing.h"

#include "common/host_services.h"
#include "editor/document/fd_io.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <memory>
#include <new>
#include <unistd.h>

namespace {

using fd_io::Fd;
using fd_io::pread_full;
using fd_io::pwrite_full;

constexpr long kMixBlock = 16384;

int get(const uint8_t* p, int bps)
{
    if (bps == 1)
        return static_cast<int>(p[0]) - 128;
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

void set(uint8_t* p, int bps, int value)
{
    if (bps == 1) {
        p[0] = static_cast<uint8_t>(value + 128);
    } else {
        const auto w = static_cast<uint16_t>(static_cast<int16_t>(value));
        p[0] = static_cast<uint8_t>(w & 0xFF);
        p[1] = static_cast<uint8_t>(w >> 8);
    }
}

} // namespace

int mix_sample(const MixSettings& settings, int source, int destination, bool destination_present,
               int channel, long pair_number, int pair_bytes, long region, int bytes_per_sample)
{
    const double gs = settings.source_gain;
    const double gd = settings.destination_gain;
    double v;
    if (settings.code == 11311) {
        if (!destination_present || region <= 0) {
            v = source * gs;
        } else {
            const double x = static_cast<double>(pair_number) * pair_bytes / region;
            double ws, wd;
            if (settings.exponential) {
                const double f = 1.0 - std::pow(0.08, x);
                ws = 2.0 * f * gs;
                wd = 2.0 * (1.0 - f) * gd;
            } else {
                ws = 2.0 * x * gs;
                wd = 2.0 * (1.0 - x) * gd;
            }
            ws = std::min(ws, 2.0 * gs);
            wd = std::max(wd, 0.0);
            v = (source * ws + destination * wd) * 0.5;
        }
    } else if (settings.target == MixTarget::Both) {
        v = destination_present ? (source * gs + destination * gd) * 0.5 : source * gs;
    } else {
        const bool source_side = (settings.target == MixTarget::Left) == (channel == 0);
        if (source_side)
            v = (source * 2.0 * gs) * 0.5;
        else
            v = destination_present ? (destination * 2.0 * gd) * 0.5 : 0.0;
    }
    const int limit = bytes_per_sample == 1 ? 127 : 32767;
    const double clipped = std::clamp(v, static_cast<double>(-limit), static_cast<double>(limit));
    return static_cast<int>(clipped);
}

int mix_into_redo(CChildFrame& destination, const char* clipboard, long length, long start,
                  const MixSettings& settings)
{
    if (length <= 0)
        return 1;
    const int bps = destination.bytes_per_sample();
    const int pair_bytes = 2 * bps;
    const long total = destination.current.total_samples * bps;
    const long region = total - start;
    MixSettings use = settings;
    // Left or right alone means nothing to a mono destination.
    if (destination.wave_format.channels != 2)
        use.target = MixTarget::Both;

    const long block = std::min(kMixBlock, length);
    std::unique_ptr<uint8_t[]> src(new (std::nothrow) uint8_t[block]());
    std::unique_ptr<uint8_t[]> dst(new (std::nothrow) uint8_t[block]());
    std::unique_ptr<uint8_t[]> out(new (std::nothrow) uint8_t[block]());
    if (!src || !dst || !out) {
        NewErrMsg(5001);
        return 0;
    }
    Fd clip(::open(clipboard, O_RDONLY | O_CLOEXEC));
    Fd work(::open(destination.working_file(), O_RDONLY | O_CLOEXEC));
    Fd redo(::open(destination.redo_file(), O_WRONLY | O_CLOEXEC));
    if (clip.fd < 0 || work.fd < 0 || redo.fd < 0) {
        NewErrMsg(5070);
        return 0;
    }

    const int progress = display_message_dialog("Mixing waveform...", 1);
    show_percent_done(progress, 0);
    bool ok = true;
    long done = 0;
    while (done < length) {
        const long n = std::min(block, length - done);
        if (pread_full(clip.fd, src.get(), n, done) != n) {
            NewErrMsg(5070);
            ok = false;
            break;
        }
        const long here = start + done;
        const long available = std::clamp(total - here, 0L, n);
        if (available > 0 && pread_full(work.fd, dst.get(), available, here) != available) {
            ok = false;
            break;
        }
        for (long off = 0; off + bps <= n; off += bps) {
            const long pair_number = (done + off) / pair_bytes + 1;
            const int channel = static_cast<int>(((done + off) / bps) % 2);
            const bool present = off + bps <= available;
            const int d = present ? get(dst.get() + off, bps) : 0;
            set(out.get() + off, bps,
                mix_sample(use, get(src.get() + off, bps), d, present, channel, pair_number,
                           pair_bytes, region, bps));
        }
        if (!pwrite_full(redo.fd, out.get(), n, here)) {
            NewErrMsg(5031);
            ok = false;
            break;
        }
        done += n;
        show_percent_done(progress, static_cast<int>(done * 100 / (length + 1)));
        if (cancel_button_pressed(progress)) {
            ok = false;
            break;
        }
    }
    terminate_message_dialog(progress);
    return ok ? 1 : 0;
}
