// dxhost: runs LADSPA plug-ins for the editor, in a process of their own.
//
//   dxhost --list REPORT FILE...
//       writes one "plugin" line per usable plug-in in the files, each followed by one
//       "control" line per input control port (tab-separated, see write_plugin).
//   dxhost --run FILE --index=N IN.WAV OUT.WAV [--control=VALUE...]
//       runs plug-in N of FILE over the PCM wave file IN (8-bit unsigned or 16-bit
//       signed, mono or stereo) with the input control ports set to the VALUEs in port
//       order, and writes OUT in the same format. A plug-in with one audio input and one
//       output runs as one instance per channel.
//
// Exit status 0 on success; otherwise a line on stderr says why.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <ladspa.h>
#include <string>
#include <vector>

namespace {

constexpr unsigned long kBlockFrames = 4096;

// The text after an option's name ("--index=3" gives "3"); numbers travel as options so
// that nobody takes them for file names.
const char* option_value(const char* arg, const char* name)
{
    const size_t n = std::strlen(name);
    return std::strncmp(arg, name, n) == 0 ? arg + n : arg;
}

int fail(const std::string& why)
{
    std::fprintf(stderr, "dxhost: %s\n", why.c_str());
    return 1;
}

LADSPA_Descriptor_Function load(const char* file)
{
    void* library = dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return nullptr;
    return reinterpret_cast<LADSPA_Descriptor_Function>(dlsym(library, "ladspa_descriptor"));
}

struct Ports
{
    std::vector<unsigned long> audio_in, audio_out, control_in, control_out;
};

Ports ports_of(const LADSPA_Descriptor& d)
{
    Ports p;
    for (unsigned long i = 0; i < d.PortCount; ++i) {
        const LADSPA_PortDescriptor pd = d.PortDescriptors[i];
        if (LADSPA_IS_PORT_AUDIO(pd))
            (LADSPA_IS_PORT_INPUT(pd) ? p.audio_in : p.audio_out).push_back(i);
        else
            (LADSPA_IS_PORT_INPUT(pd) ? p.control_in : p.control_out).push_back(i);
    }
    return p;
}

// The plug-in's own default for a control port, from its hints.
float default_value(const LADSPA_PortRangeHint& h, unsigned long rate)
{
    const LADSPA_PortRangeHintDescriptor d = h.HintDescriptor;
    float lo = h.LowerBound, hi = h.UpperBound;
    if (LADSPA_IS_HINT_SAMPLE_RATE(d)) {
        lo *= rate;
        hi *= rate;
    }
    const bool log = LADSPA_IS_HINT_LOGARITHMIC(d) && lo > 0 && hi > 0;
    auto between = [&](float w) {
        return log ? std::exp(std::log(lo) * (1 - w) + std::log(hi) * w) : lo * (1 - w) + hi * w;
    };
    switch (d & LADSPA_HINT_DEFAULT_MASK) {
    case LADSPA_HINT_DEFAULT_MINIMUM:
        return lo;
    case LADSPA_HINT_DEFAULT_LOW:
        return between(0.25f);
    case LADSPA_HINT_DEFAULT_MIDDLE:
        return between(0.5f);
    case LADSPA_HINT_DEFAULT_HIGH:
        return between(0.75f);
    case LADSPA_HINT_DEFAULT_MAXIMUM:
        return hi;
    case LADSPA_HINT_DEFAULT_0:
        return 0;
    case LADSPA_HINT_DEFAULT_1:
        return 1;
    case LADSPA_HINT_DEFAULT_100:
        return 100;
    case LADSPA_HINT_DEFAULT_440:
        return 440;
    default:
        if (LADSPA_IS_HINT_BOUNDED_BELOW(d) && LADSPA_IS_HINT_BOUNDED_ABOVE(d))
            return between(0.5f);
        if (LADSPA_IS_HINT_BOUNDED_BELOW(d))
            return lo > 0 ? lo : 0;
        if (LADSPA_IS_HINT_BOUNDED_ABOVE(d))
            return hi < 0 ? hi : 0;
        return 0;
    }
}

std::string clean(const char* text)
{
    std::string s = text ? text : "";
    for (char& c : s)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return s;
}

// plugin FILE INDEX LABEL NAME AUDIO_INS AUDIO_OUTS
// control PORT NAME LOWER UPPER DEFAULT FLAGS  (bounds empty when unbounded; the default
// for 44100 Hz; FLAGS any of t(oggled) i(nteger) l(ogarithmic) s(ample rate))
void write_plugin(FILE* out, const char* file, unsigned long index, const LADSPA_Descriptor& d)
{
    const Ports p = ports_of(d);
    std::fprintf(out, "plugin\t%s\t%lu\t%s\t%s\t%zu\t%zu\n", file, index, clean(d.Label).c_str(),
                 clean(d.Name).c_str(), p.audio_in.size(), p.audio_out.size());
    for (unsigned long port : p.control_in) {
        const LADSPA_PortRangeHint& h = d.PortRangeHints[port];
        const auto hd = h.HintDescriptor;
        std::string flags;
        if (LADSPA_IS_HINT_TOGGLED(hd))
            flags += 't';
        if (LADSPA_IS_HINT_INTEGER(hd))
            flags += 'i';
        if (LADSPA_IS_HINT_LOGARITHMIC(hd))
            flags += 'l';
        if (LADSPA_IS_HINT_SAMPLE_RATE(hd))
            flags += 's';
        char lo[32] = "", hi[32] = "";
        if (LADSPA_IS_HINT_BOUNDED_BELOW(hd))
            std::snprintf(lo, sizeof lo, "%g", h.LowerBound);
        if (LADSPA_IS_HINT_BOUNDED_ABOVE(hd))
            std::snprintf(hi, sizeof hi, "%g", h.UpperBound);
        std::fprintf(out, "control\t%lu\t%s\t%s\t%s\t%g\t%s\n", port,
                     clean(d.PortNames[port]).c_str(), lo, hi, default_value(h, 44100),
                     flags.c_str());
    }
}

int list(const char* report, int count, char** files)
{
    FILE* out = std::fopen(report, "w");
    if (!out)
        return fail(std::string("cannot write ") + report);
    for (int i = 0; i < count; ++i) {
        LADSPA_Descriptor_Function f = load(files[i]);
        if (!f)
            continue;
        for (unsigned long n = 0;; ++n) {
            const LADSPA_Descriptor* d = f(n);
            if (!d)
                break;
            const Ports p = ports_of(*d);
            if (!p.audio_in.empty() && p.audio_in.size() == p.audio_out.size() &&
                p.audio_in.size() <= 2)
                write_plugin(out, files[i], n, *d);
        }
        // What the files so far offer survives a later file that crashes the listing.
        std::fflush(out);
    }
    return std::fclose(out) == 0 ? 0 : fail("cannot write the report");
}

// ---- Wave files: the PCM formats the editor keeps ----

struct Wave
{
    uint16_t channels = 0, bits = 0;
    uint32_t rate = 0;
    uint8_t fmt[16] = {};
    uint64_t data_bytes = 0;
};

uint32_t le32(const uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool read_header(FILE* f, Wave& w)
{
    uint8_t riff[12];
    if (std::fread(riff, 1, 12, f) != 12 || std::memcmp(riff, "RIFF", 4) ||
        std::memcmp(riff + 8, "WAVE", 4))
        return false;
    bool have_fmt = false;
    for (;;) {
        uint8_t head[8];
        if (std::fread(head, 1, 8, f) != 8)
            return false;
        const uint32_t size = le32(head + 4);
        if (!std::memcmp(head, "fmt ", 4)) {
            if (size < 16 || std::fread(w.fmt, 1, 16, f) != 16)
                return false;
            if (w.fmt[0] != 1 || w.fmt[1] != 0)
                return false;
            w.channels = w.fmt[2] | w.fmt[3] << 8;
            w.rate = le32(w.fmt + 4);
            w.bits = w.fmt[14] | w.fmt[15] << 8;
            have_fmt = true;
            if (std::fseek(f, (size - 16) + (size & 1), SEEK_CUR) != 0)
                return false;
        } else if (!std::memcmp(head, "data", 4)) {
            w.data_bytes = size;
            return have_fmt && (w.channels == 1 || w.channels == 2) &&
                   (w.bits == 8 || w.bits == 16) && w.rate > 0;
        } else if (std::fseek(f, static_cast<long>(size) + (size & 1), SEEK_CUR) != 0) {
            return false;
        }
    }
}

void put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

bool write_header(FILE* f, const Wave& w, uint32_t data_bytes)
{
    uint8_t h[44];
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, 36 + data_bytes);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16);
    std::memcpy(h + 20, w.fmt, 16);
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, data_bytes);
    return std::fwrite(h, 1, 44, f) == 44;
}

// Samples as floats in [-1, 1): s / 32768 (8-bit: (u - 128) / 128), and back by flooring,
// so a unity gain gives every sample back unchanged.
float to_float(const uint8_t* p, int bits)
{
    if (bits == 8)
        return (static_cast<int>(p[0]) - 128) / 128.0f;
    return static_cast<int16_t>(p[0] | p[1] << 8) / 32768.0f;
}

void from_float(float v, uint8_t* p, int bits)
{
    const float scale = bits == 8 ? 128.0f : 32768.0f;
    float s = std::floor(v * scale);
    if (!(s >= -scale))
        s = -scale; // NaN too
    if (s > scale - 1)
        s = scale - 1;
    const int i = static_cast<int>(s);
    if (bits == 8) {
        p[0] = static_cast<uint8_t>(i + 128);
    } else {
        p[0] = static_cast<uint8_t>(i & 0xFF);
        p[1] = static_cast<uint8_t>((i >> 8) & 0xFF);
    }
}

int run(const char* file, unsigned long index, const char* in_name, const char* out_name,
        int value_count, char** values)
{
    LADSPA_Descriptor_Function f = load(file);
    if (!f)
        return fail(std::string("cannot load ") + file);
    const LADSPA_Descriptor* d = f(index);
    if (!d)
        return fail("no such plug-in");
    const Ports p = ports_of(*d);
    FILE* in = std::fopen(in_name, "rb");
    Wave w;
    if (!in || !read_header(in, w))
        return fail(std::string("cannot read ") + in_name);
    if (p.audio_in.empty() || p.audio_in.size() != p.audio_out.size() ||
        (p.audio_in.size() != 1 && p.audio_in.size() != w.channels))
        return fail("the plug-in does not fit the sound's channels");
    const unsigned long frame_bytes = w.channels * (w.bits / 8);
    if (w.data_bytes > 0xFFFFFFFFull - 36)
        return fail("too long");
    const uint64_t frames = w.data_bytes / frame_bytes;

    std::vector<LADSPA_Data> controls(d->PortCount, 0.0f);
    for (size_t i = 0; i < p.control_in.size(); ++i)
        controls[p.control_in[i]] =
            i < static_cast<size_t>(value_count)
                ? std::strtof(option_value(values[i], "--control="), nullptr)
                : default_value(d->PortRangeHints[p.control_in[i]], w.rate);
    const int per_instance = static_cast<int>(p.audio_in.size());
    const int instance_count = per_instance == 1 ? w.channels : 1;
    std::vector<std::vector<LADSPA_Data>> in_buf(w.channels,
                                                 std::vector<LADSPA_Data>(kBlockFrames));
    std::vector<std::vector<LADSPA_Data>> out_buf(w.channels,
                                                  std::vector<LADSPA_Data>(kBlockFrames));
    std::vector<LADSPA_Data> control_out(d->PortCount, 0.0f);
    std::vector<LADSPA_Handle> instances;
    for (int n = 0; n < instance_count; ++n) {
        LADSPA_Handle h = d->instantiate(d, w.rate);
        if (!h)
            return fail("the plug-in cannot be instantiated");
        for (unsigned long port : p.control_in)
            d->connect_port(h, port, &controls[port]);
        for (unsigned long port : p.control_out)
            d->connect_port(h, port, &control_out[port]);
        for (int c = 0; c < per_instance; ++c) {
            d->connect_port(h, p.audio_in[c], in_buf[n + c].data());
            d->connect_port(h, p.audio_out[c], out_buf[n + c].data());
        }
        if (d->activate)
            d->activate(h);
        instances.push_back(h);
    }

    FILE* out = std::fopen(out_name, "wb");
    const uint32_t out_bytes = static_cast<uint32_t>(frames * frame_bytes);
    if (!out || !write_header(out, w, out_bytes))
        return fail(std::string("cannot write ") + out_name);
    std::vector<uint8_t> bytes(kBlockFrames * frame_bytes);
    const int sample_bytes = w.bits / 8;
    for (uint64_t done = 0; done < frames;) {
        const unsigned long n =
            static_cast<unsigned long>(std::min<uint64_t>(kBlockFrames, frames - done));
        if (std::fread(bytes.data(), frame_bytes, n, in) != n)
            return fail(std::string("truncated ") + in_name);
        for (unsigned long i = 0; i < n; ++i)
            for (int c = 0; c < w.channels; ++c)
                in_buf[c][i] = to_float(&bytes[i * frame_bytes + c * sample_bytes], w.bits);
        for (LADSPA_Handle h : instances)
            d->run(h, n);
        for (unsigned long i = 0; i < n; ++i)
            for (int c = 0; c < w.channels; ++c)
                from_float(out_buf[c][i], &bytes[i * frame_bytes + c * sample_bytes], w.bits);
        if (std::fwrite(bytes.data(), frame_bytes, n, out) != n)
            return fail(std::string("cannot write ") + out_name);
        done += n;
    }
    for (LADSPA_Handle h : instances) {
        if (d->deactivate)
            d->deactivate(h);
        d->cleanup(h);
    }
    std::fclose(in);
    return std::fclose(out) == 0 ? 0 : fail(std::string("cannot write ") + out_name);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && !std::strcmp(argv[1], "--list"))
        return list(argv[2], argc - 3, argv + 3);
    if (argc >= 6 && !std::strcmp(argv[1], "--run"))
        return run(argv[2], std::strtoul(option_value(argv[3], "--index="), nullptr, 10), argv[4],
                   argv[5], argc - 6, argv + 6);
    std::fprintf(
        stderr,
        "usage: dxhost --list REPORT FILE... | --run FILE --index=N IN OUT [--control=V...]\n");
    return 2;
}
