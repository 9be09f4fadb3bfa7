#include "editor/files/cue_chunk.h"

#include "editor/document/markers.h"

#include <algorithm>
#include <map>
#include <memory>
#include <new>

using kel::riff::Chunk;
using kel::riff::File;
using kel::riff::fourcc;

std::vector<CuePoint> cue_points_for_save;

namespace {

// Chunks of markers are small; a body past this is not ours to trust.
constexpr uint32_t kMaxCueBody = 1u << 20;

uint32_t get32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void put16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

// Text up to its zero or the end of the field.
std::string text_of(const uint8_t* p, size_t n)
{
    size_t len = 0;
    while (len < n && p[len])
        ++len;
    return std::string(reinterpret_cast<const char*>(p), len);
}

void put_sub(std::vector<uint8_t>& out, const char* id, const std::vector<uint8_t>& body)
{
    put32(out, fourcc(id[0], id[1], id[2], id[3]));
    put32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() & 1)
        out.push_back(0);
}

} // namespace

bool cue_parse(const uint8_t* body, size_t length, std::vector<CuePoint>& points)
{
    points.clear();
    if (length < 4)
        return false;
    const uint32_t count = get32(body);
    if (count > (length - 4) / 24)
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* p = body + 4 + 24 * static_cast<size_t>(i);
        CuePoint c;
        c.id = get32(p);
        c.frame = get32(p + 20);
        points.push_back(c);
    }
    return true;
}

bool adtl_parse(const uint8_t* body, size_t length, std::vector<CuePoint>& points)
{
    std::map<uint32_t, size_t> by_id;
    for (size_t i = 0; i < points.size(); ++i)
        by_id.emplace(points[i].id, i);
    size_t pos = 0;
    while (pos + 8 <= length) {
        const uint32_t id = get32(body + pos);
        const uint32_t size = get32(body + pos + 4);
        if (size > length - pos - 8)
            return false;
        const uint8_t* sub = body + pos + 8;
        if (size >= 4) {
            auto it = by_id.find(get32(sub));
            if (it != by_id.end()) {
                CuePoint& c = points[it->second];
                if (id == fourcc("labl"))
                    c.name = text_of(sub + 4, size - 4);
                else if (id == fourcc("ltxt") && size >= 20) {
                    c.length = get32(sub + 4);
                    c.end_name = text_of(sub + 20, size - 20);
                }
            }
        }
        pos += 8 + static_cast<size_t>(size) + (size & 1);
    }
    return true;
}

std::vector<CuePoint> cue_points_of(const MarkerTable& table, int channels)
{
    const long ch = std::max(1, channels);
    std::vector<CuePoint> points;
    for (int i = 0; i < table.count(); ++i) {
        const Marker& m = table.entries[i];
        if (m.end_flag && std::any_of(table.entries.begin(), table.entries.end(),
                                      [&](const Marker& o) { return o.partner == i; }))
            continue; // written with its start
        CuePoint c;
        c.id = static_cast<uint32_t>(points.size() + 1);
        c.frame = static_cast<uint32_t>(std::max(0L, m.position) / ch);
        c.name = m.name;
        if (m.partner >= 0 && m.partner < table.count()) {
            const Marker& end = table.entries[m.partner];
            const uint32_t end_frame = static_cast<uint32_t>(std::max(0L, end.position) / ch);
            c.length = end_frame > c.frame ? end_frame - c.frame : 0;
            c.end_name = end.name;
        }
        points.push_back(std::move(c));
    }
    return points;
}

MarkerTable markers_of_points(const std::vector<CuePoint>& points, int channels, long total_samples)
{
    const long ch = std::max(1, channels);
    auto place = [&](uint64_t frame) {
        return static_cast<long>(std::min<uint64_t>(frame * static_cast<uint64_t>(ch),
                                                    static_cast<uint64_t>(total_samples)));
    };
    MarkerTable t;
    for (const CuePoint& c : points) {
        const bool pair = !c.end_name.empty() || c.length > 0;
        if (t.count() + (pair ? 2 : 1) > kMaxMarkers)
            break;
        Marker m;
        m.position = place(c.frame);
        m.name = c.name.empty() ? default_marker_name(m.position) : c.name;
        t.entries.push_back(m);
        if (pair) {
            Marker e;
            e.position = place(static_cast<uint64_t>(c.frame) + c.length);
            e.name = c.end_name.empty() ? default_marker_name(e.position) : c.end_name;
            e.end_flag = 1;
            t.entries.back().partner = t.count();
            t.entries.push_back(e);
        }
    }
    return t;
}

int cue_write(File& file, const std::vector<CuePoint>& points)
{
    if (points.empty())
        return kel::riff::kOk;
    std::vector<uint8_t> cue;
    put32(cue, static_cast<uint32_t>(points.size()));
    for (const CuePoint& c : points) {
        put32(cue, c.id);
        put32(cue, c.frame); // play order position
        put32(cue, fourcc("data"));
        put32(cue, 0);
        put32(cue, 0);
        put32(cue, c.frame);
    }
    std::vector<uint8_t> adtl;
    put32(adtl, fourcc("adtl"));
    for (const CuePoint& c : points) {
        std::vector<uint8_t> labl;
        put32(labl, c.id);
        labl.insert(labl.end(), c.name.begin(), c.name.end());
        labl.push_back(0);
        put_sub(adtl, "labl", labl);
        if (c.length > 0 || !c.end_name.empty()) {
            std::vector<uint8_t> ltxt;
            put32(ltxt, c.id);
            put32(ltxt, c.length);
            put32(ltxt, fourcc("rgn "));
            for (int i = 0; i < 4; ++i)
                put16(ltxt, 0); // country, language, dialect, code page
            ltxt.insert(ltxt.end(), c.end_name.begin(), c.end_name.end());
            ltxt.push_back(0);
            put_sub(adtl, "ltxt", ltxt);
        }
    }
    std::vector<uint8_t> out;
    put_sub(out, "cue ", cue);
    put_sub(out, "LIST", adtl);
    return file.write(out.data(), static_cast<int64_t>(out.size())) ==
                   static_cast<int64_t>(out.size())
               ? kel::riff::kOk
               : kel::riff::kCannotWrite;
}

std::vector<CuePoint> cue_read_wave_file(const std::string& path)
{
    std::vector<CuePoint> points;
    auto file = File::open(path, File::Mode::Read);
    if (!file)
        return points;
    uint8_t head[12];
    if (file->read(head, 12) != 12 || get32(head) != kel::riff::kRiff)
        return points;
    const uint64_t riff_end =
        std::min<uint64_t>(file->length(), 8 + static_cast<uint64_t>(get32(head + 4)));
    auto body_at = [&](uint64_t at, uint32_t size, std::unique_ptr<uint8_t[]>& body) {
        if (size > kMaxCueBody || at + size > riff_end)
            return false;
        body.reset(new (std::nothrow) uint8_t[size + 1]);
        return body && file->seek(static_cast<int64_t>(at), SEEK_SET) >= 0 &&
               file->read(body.get(), size) == static_cast<int64_t>(size);
    };
    uint64_t cue_at = 0, adtl_at = 0;
    uint32_t cue_size = 0, adtl_size = 0;
    uint64_t pos = 12;
    while (pos + 8 <= riff_end) {
        uint8_t ck[12] = {};
        if (file->seek(static_cast<int64_t>(pos), SEEK_SET) < 0 || file->read(ck, 8) != 8)
            break;
        const uint32_t id = get32(ck);
        const uint32_t size = get32(ck + 4);
        if (id == fourcc("cue ") && !cue_at) {
            cue_at = pos + 8;
            cue_size = size;
        } else if (id == kel::riff::kList && !adtl_at && size >= 4 && file->read(ck + 8, 4) == 4 &&
                   get32(ck + 8) == fourcc("adtl")) {
            adtl_at = pos + 12;
            adtl_size = size - 4;
        }
        pos += 8 + static_cast<uint64_t>(size) + (size & 1);
    }
    std::unique_ptr<uint8_t[]> body;
    if (!cue_at || !body_at(cue_at, cue_size, body) || !cue_parse(body.get(), cue_size, points)) {
        points.clear();
        return points;
    }
    // A damaged list costs the names only.
    std::vector<CuePoint> named = points;
    if (adtl_at && body_at(adtl_at, adtl_size, body) && adtl_parse(body.get(), adtl_size, named))
        points = std::move(named);
    return points;
}
