#include "platform/profile.h"

#include "platform/paths.h"
#include "platform/safe_write.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <strings.h>
#include <unistd.h>

namespace kel::profile {
namespace {

struct Line
{
    std::string raw;
    enum Kind { Other, Section, Entry } kind = Other;
    std::string name;  // section or key name, trimmed
    std::string value; // entry value, trimmed and unquoted
};

std::string trim(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

bool same(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

std::vector<Line> load(const std::string& file)
{
    std::vector<Line> lines;
    std::ifstream in(paths::native(paths::readable_path(file)), std::ios::binary);
    if (!in)
        return lines;
    std::string raw;
    while (std::getline(in, raw)) {
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        Line l;
        l.raw = raw;
        std::string t = trim(raw);
        if (!t.empty() && t.front() == '[') {
            auto close = t.find(']');
            l.kind = Line::Section;
            l.name = trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        } else if (!t.empty() && t.front() != ';') {
            auto eq = t.find('=');
            if (eq != std::string::npos) {
                l.kind = Line::Entry;
                l.name = trim(t.substr(0, eq));
                std::string v = trim(t.substr(eq + 1));
                if (v.size() >= 2 && ((v.front() == '"' && v.back() == '"') ||
                                      (v.front() == '\'' && v.back() == '\'')))
                    v = v.substr(1, v.size() - 2);
                l.value = v;
            }
        }
        lines.push_back(std::move(l));
    }
    return lines;
}

int g_last_error = 0;

bool store(const std::string& file, const std::vector<Line>& lines)
{
    std::string path = paths::native(paths::writable_path(file));
    auto slash = path.rfind('/');
    if (slash != std::string::npos)
        paths::make_dirs(path.substr(0, slash));
    std::string text;
    for (const Line& l : lines)
        text += l.raw + "\r\n";
    // A full disk or a kill part-way never leaves half a profile: the old one stays.
    SafeWrite out(path);
    if (!out.ok()) {
        g_last_error = out.error();
        return false;
    }
    const int fd = ::open(out.temp_path().c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        g_last_error = errno;
        return false;
    }
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            g_last_error = n == 0 ? EIO : errno;
            ::close(fd);
            return false;
        }
        done += static_cast<size_t>(n);
    }
    if (::close(fd) != 0) {
        g_last_error = errno;
        return false;
    }
    if (!out.commit()) {
        g_last_error = out.error();
        return false;
    }
    g_last_error = 0;
    return true;
}

// Index of the section header, or lines.size().
size_t find_section(const std::vector<Line>& lines, const std::string& section)
{
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].kind == Line::Section && same(lines[i].name, section))
            return i;
    return lines.size();
}

size_t section_end(const std::vector<Line>& lines, size_t header)
{
    size_t i = header + 1;
    while (i < lines.size() && lines[i].kind != Line::Section)
        ++i;
    return i;
}

const Line* find_entry(const std::vector<Line>& lines, const std::string& section,
                       const std::string& key)
{
    size_t h = find_section(lines, section);
    if (h == lines.size())
        return nullptr;
    size_t end = section_end(lines, h);
    for (size_t i = h + 1; i < end; ++i)
        if (lines[i].kind == Line::Entry && same(lines[i].name, key))
            return &lines[i];
    return nullptr;
}

} // namespace

std::string read_string(const std::string& section, const std::string& key, const std::string& def,
                        const std::string& file)
{
    auto lines = load(file);
    if (const Line* l = find_entry(lines, section, key))
        return l->value;
    std::string d = def;
    while (!d.empty() && std::isspace(static_cast<unsigned char>(d.back())))
        d.pop_back();
    return d;
}

std::optional<std::string> lookup(const std::string& section, const std::string& key,
                                  const std::string& file)
{
    auto lines = load(file);
    if (const Line* l = find_entry(lines, section, key))
        return l->value;
    return std::nullopt;
}

long read_int(const std::string& section, const std::string& key, long def, const std::string& file)
{
    auto lines = load(file);
    const Line* l = find_entry(lines, section, key);
    if (!l)
        return def;
    const char* s = l->value.c_str();
    char* end = nullptr;
    long v = std::strtol(s, &end, 10);
    return end == s ? def : v;
}

bool write_string(const std::string& section, const std::string& key, const std::string& value,
                  const std::string& file)
{
    auto lines = load(file);
    Line entry;
    entry.kind = Line::Entry;
    entry.name = key;
    entry.value = value;
    entry.raw = key + "=" + value;
    size_t h = find_section(lines, section);
    if (h == lines.size()) {
        Line head;
        head.kind = Line::Section;
        head.name = section;
        head.raw = "[" + section + "]";
        lines.push_back(head);
        lines.push_back(entry);
        return store(file, lines);
    }
    size_t end = section_end(lines, h);
    for (size_t i = h + 1; i < end; ++i) {
        if (lines[i].kind == Line::Entry && same(lines[i].name, key)) {
            lines[i] = entry;
            return store(file, lines);
        }
    }
    // After the section's last entry, keeping blank lines between sections.
    size_t at = end;
    while (at > h + 1 && trim(lines[at - 1].raw).empty())
        --at;
    lines.insert(lines.begin() + static_cast<long>(at), entry);
    return store(file, lines);
}

bool replace_section(const std::string& section,
                     const std::vector<std::pair<std::string, std::string>>& entries,
                     const std::string& file)
{
    auto lines = load(file);
    size_t h = find_section(lines, section);
    size_t at = lines.size();
    if (h != lines.size()) {
        size_t end = section_end(lines, h);
        // Blank lines that part it from the next section stay where they were.
        while (end > h + 1 && trim(lines[end - 1].raw).empty())
            --end;
        lines.erase(lines.begin() + static_cast<long>(h), lines.begin() + static_cast<long>(end));
        at = h;
    }
    std::vector<Line> block;
    Line head;
    head.kind = Line::Section;
    head.name = section;
    head.raw = "[" + section + "]";
    block.push_back(head);
    for (const auto& [key, value] : entries) {
        Line entry;
        entry.kind = Line::Entry;
        entry.name = key;
        entry.value = value;
        entry.raw = key + "=" + value;
        block.push_back(entry);
    }
    lines.insert(lines.begin() + static_cast<long>(at), block.begin(), block.end());
    return store(file, lines);
}

int last_error()
{
    return g_last_error;
}

bool write_int(const std::string& section, const std::string& key, long value,
               const std::string& file)
{
    return write_string(section, key, std::to_string(value), file);
}

bool delete_key(const std::string& section, const std::string& key, const std::string& file)
{
    auto lines = load(file);
    size_t h = find_section(lines, section);
    if (h == lines.size())
        return true;
    size_t end = section_end(lines, h);
    for (size_t i = h + 1; i < end; ++i) {
        if (lines[i].kind == Line::Entry && same(lines[i].name, key)) {
            lines.erase(lines.begin() + static_cast<long>(i));
            return store(file, lines);
        }
    }
    return true;
}

bool delete_section(const std::string& section, const std::string& file)
{
    auto lines = load(file);
    size_t h = find_section(lines, section);
    if (h == lines.size())
        return true;
    size_t end = section_end(lines, h);
    lines.erase(lines.begin() + static_cast<long>(h), lines.begin() + static_cast<long>(end));
    return store(file, lines);
}

std::vector<std::string> section_names(const std::string& file)
{
    std::vector<std::string> out;
    for (const Line& l : load(file))
        if (l.kind == Line::Section)
            out.push_back(l.name);
    return out;
}

std::vector<std::string> key_names(const std::string& section, const std::string& file)
{
    std::vector<std::string> out;
    auto lines = load(file);
    size_t h = find_section(lines, section);
    if (h == lines.size())
        return out;
    size_t end = section_end(lines, h);
    for (size_t i = h + 1; i < end; ++i)
        if (lines[i].kind == Line::Entry)
            out.push_back(lines[i].name);
    return out;
}

bool read_yes_no(const std::string& section, const std::string& key, bool def,
                 const std::string& file)
{
    std::string v = read_string(section, key, "", file);
    if (v.empty())
        return def;
    return v == "yes";
}

bool write_yes_no(const std::string& section, const std::string& key, bool value,
                  const std::string& file)
{
    return write_string(section, key, value ? "yes" : "no", file);
}

std::string app_profile()
{
    return paths::config_dir() + "Orlo.ini";
}

} // namespace kel::profile
