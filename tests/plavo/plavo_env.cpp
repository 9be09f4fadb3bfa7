#include "tests/plavo/plavo_env.h"

#include "formats/msadpcm.h"
#include "platform/clock.h"
#include "platform/events.h"
#include "platform/run_dir.h"
#include "platform/wave_device.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace wd = kel::wave_device;

void PlavoEnv::SetUp()
{
    char tmpl[] = "/tmp/plavo-test-XXXXXX";
    char* made = mkdtemp(tmpl);
    ASSERT_NE(made, nullptr);
    root = std::string(made) + "/";
    setenv("XDG_CONFIG_HOME", (root + "config").c_str(), 1);
    setenv("KELVARA_HOME", root.c_str(), 1);
    // The player's private run folder lives in the test's own folder.
    kel::run_dir::close();
    ASSERT_EQ(mkdir((root + "run").c_str(), 0700), 0);
    setenv("XDG_RUNTIME_DIR", (root + "run").c_str(), 1);
    char cwd[PATH_MAX];
    old_cwd = getcwd(cwd, sizeof cwd) ? cwd : "/";
    ASSERT_EQ(chdir(root.c_str()), 0);
    kel::set_ui(&ui);
    kel::clock::fix(1000);
    kel::events::reset();
    wd::set_backend(wd::Backend::Virtual);
    sink = root + "sink.raw";
    wd::set_virtual_sink(sink);
    // The device's level outlives a test that moved the volume bar.
    wd::set_master_volume(0, 255, 255);
}

void PlavoEnv::TearDown()
{
    wd::set_virtual_sink("");
    wd::unset_backend();
    kel::events::reset();
    kel::clock::unfix();
    kel::set_ui(nullptr);
    kel::run_dir::close();
    if (chdir(old_cwd.c_str()) != 0) {
    }
    if (std::system(("rm -rf '" + root + "'").c_str()) != 0) {
    }
}

std::string PlavoEnv::read_file(const std::string& file) const
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void PlavoEnv::write_file(const std::string& file, const std::string& bytes) const
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void PlavoEnv::run_for(uint32_t ms)
{
    for (uint32_t t = 0; t < ms; t += 10) {
        kel::clock::advance(10);
        wd::settle();
        kel::events::pump();
    }
}

bool have_tool(const std::string& tool)
{
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

bool run(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string quoted(const std::string& path)
{
    return "'" + path + "'";
}

std::vector<int16_t> read_s16(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<int16_t> v;
    int16_t s;
    while (in.read(reinterpret_cast<char*>(&s), 2))
        v.push_back(s);
    return v;
}

std::vector<int16_t> test_signal(int channels, int frames, int rate)
{
    std::vector<int16_t> v(static_cast<size_t>(frames) * channels);
    uint32_t noise = 12345;
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) {
            noise = noise * 1103515245u + 12345u;
            const double t = static_cast<double>(i) / rate;
            const double x = 6000 * std::sin(2 * M_PI * 261.6 * t + c) +
                             5000 * std::sin(2 * M_PI * 329.6 * t) +
                             4000 * std::sin(2 * M_PI * 392.0 * t * (1 + c)) +
                             static_cast<double>(static_cast<int>(noise >> 20) - 2048);
            v[static_cast<size_t>(i) * channels + c] = static_cast<int16_t>(x);
        }
    return v;
}

namespace {

void put(std::string& s, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        s.push_back(static_cast<char>(v >> (8 * i)));
}

} // namespace

void write_ocw(const std::string& file, const std::vector<int16_t>& pcm, int channels, int rate,
               uint32_t marker, bool with_fact, size_t fmt_size)
{
    namespace ms = kel::msadpcm;
    ms::Format f;
    f.channels = static_cast<uint16_t>(channels);
    f.sample_rate = static_cast<uint32_t>(rate);
    f.avg_bytes_per_sec = marker;
    f.block_align = static_cast<uint16_t>(ms::block_align_for(f.sample_rate, channels));
    f.samples_per_block = static_cast<uint16_t>(ms::samples_per_block(f.block_align, channels));
    uint8_t fmt[ms::kFormatBytes];
    ms::write_format(f, fmt);
    std::string data;
    const size_t frames = pcm.size() / channels;
    std::vector<uint8_t> block(f.block_align + 16);
    for (size_t at = 0; at < frames; at += f.samples_per_block) {
        const int n = static_cast<int>(std::min<size_t>(f.samples_per_block, frames - at));
        const size_t bytes = ms::encode_block(&pcm[at * channels], n, channels, block.data());
        data.append(reinterpret_cast<char*>(block.data()), bytes);
    }
    std::string body = "WAVE";
    body += "fmt ";
    put(body, static_cast<uint32_t>(fmt_size), 4);
    body.append(reinterpret_cast<char*>(fmt), std::min<size_t>(fmt_size, sizeof fmt));
    if (fmt_size > sizeof fmt)
        body.append(fmt_size - sizeof fmt, '\0');
    if (with_fact) {
        body += "fact";
        put(body, 4, 4);
        put(body, static_cast<uint32_t>(frames), 4);
    }
    body += "data";
    put(body, static_cast<uint32_t>(data.size()), 4);
    body += data;
    if (data.size() & 1)
        body.push_back('\0');
    std::string out = "RIFF";
    put(out, static_cast<uint32_t>(body.size()), 4);
    out += body;
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(out.data(), out.size());
}

uint32_t le32(const std::string& b, size_t at)
{
    if (at + 4 > b.size())
        return 0;
    return static_cast<uint8_t>(b[at]) | (static_cast<uint8_t>(b[at + 1]) << 8) |
           (static_cast<uint8_t>(b[at + 2]) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24);
}

namespace {

// Offset of a chunk's body in a RIFF image; 0 when it is not there.
size_t find_chunk(const std::string& b, const char* id, uint32_t& size)
{
    size_t at = 12;
    while (at + 8 <= b.size()) {
        size = le32(b, at + 4);
        if (b.compare(at, 4, id) == 0)
            return at + 8;
        at += 8 + size + (size & 1);
    }
    return 0;
}

} // namespace

bool patch_marker(const std::string& file, uint32_t marker)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string b = ss.str();
    uint32_t size = 0;
    const size_t fmt = find_chunk(b, "fmt ", size);
    if (!fmt)
        return false;
    for (int i = 0; i < 4; ++i)
        b[fmt + 8 + i] = static_cast<char>(marker >> (8 * i));
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(b.data(), b.size());
    return true;
}

std::string data_chunk(const std::string& bytes)
{
    uint32_t size = 0;
    const size_t at = find_chunk(bytes, "data", size);
    if (!at)
        return {};
    return bytes.substr(at, size);
}
