// Manifests of the open documents, and the documents of runs that died.
#include "editor/document/recovery.h"

#include "editor/document/fd_io.h"
#include "editor/document/working_files.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/run_dir.h"
#include "platform/safe_write.h"
#include "platform/ui.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <signal.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace recovery {

namespace {

constexpr const char* kHead = "Orlo document";
constexpr const char* kPrefix = "orlo";

struct Entry
{
    CChildFrame* doc = nullptr;
    int number = 0;      // of its manifest, 0 before the first
    std::string written; // what the manifest holds now
};

std::map<const CChildFrame*, Entry> g_docs;
int g_next_number = 1;
std::string g_numbered_folder; // the run folder the numbers count in

// Values stay on one line whatever a file name holds.
std::string escape(const std::string& s)
{
    std::string out;
    for (char c : s) {
        if (c == '%' || c == '\n' || c == '\r') {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

std::string unescape(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            const std::string hex = s.substr(i + 1, 2);
            char* end = nullptr;
            const long v = std::strtol(hex.c_str(), &end, 16);
            if (end && *end == '\0') {
                out += static_cast<char>(v);
                i += 2;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

bool plain_file(const std::string& path, off_t* size = nullptr)
{
    struct stat st
    {
    };
    if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    if (size)
        *size = st.st_size;
    return true;
}

std::string read_small_file(const std::string& path)
{
    fd_io::Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (!fd.ok())
        return "";
    // Two paths and a title at most; anything longer is not one of ours.
    std::string text(3 * PATH_MAX, '\0');
    const ssize_t n = fd_io::read_full(fd.get(), text.data(), text.size());
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

bool write_manifest(const std::string& target, const std::string& text)
{
    kel::SafeWrite out(target);
    if (!out.ok())
        return false;
    {
        fd_io::Fd fd(::open(out.temp_path().c_str(), O_WRONLY | O_CLOEXEC));
        if (!fd.ok() || !fd_io::write_all(fd.get(), text.data(), text.size()))
            return false;
    }
    return out.commit();
}

// Manifests ("doc-N.manifest") of a folder in the order their documents were opened.
std::vector<std::string> manifests_in(const std::string& folder)
{
    static const std::string head = "doc-", tail = ".manifest";
    std::vector<std::pair<long, std::string>> found;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name.size() <= head.size() + tail.size() || name.rfind(head, 0) != 0 ||
                name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
                continue;
            const std::string digits =
                name.substr(head.size(), name.size() - head.size() - tail.size());
            if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9)
                continue;
            found.emplace_back(std::stol(digits), folder + name);
        }
        closedir(d);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> out;
    for (auto& f : found)
        out.push_back(f.second);
    return out;
}

// "orlo-<pid>-<n>/": true when that process exists and is not this one.
bool run_is_alive(const std::string& folder)
{
    const auto slash = folder.rfind('/', folder.size() - 2);
    const std::string name = folder.substr(slash == std::string::npos ? 0 : slash + 1);
    long pid = 0;
    if (std::sscanf(name.c_str(), "orlo-%ld-", &pid) != 1 || pid <= 0 || pid == getpid())
        return false;
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

void apply_initial_zoom(CChildFrame& doc)
{
    FileSlot& s = doc.current;
    const std::string profile = kel::profile::app_profile();
    if (kel::profile::read_yes_no("Preferences", "Zoomed initial display", false, profile)) {
        s.zoom_factor = std::floor(s.base_factor);
        int level = static_cast<int>(std::floor(std::log2(std::max(1.0f, s.zoom_factor)))) + 1;
        s.zoom_level = std::clamp(level, 1, s.level_count);
    } else {
        s.zoom_factor = 1.0f;
        s.zoom_level = 1;
    }
}

} // namespace

std::string manifest_text(const Manifest& m)
{
    std::ostringstream out;
    out << kHead << "\n";
    out << "title=" << escape(m.title) << "\n";
    out << "path=" << escape(m.path) << "\n";
    out << "format=" << m.format.channels << " " << m.format.bits_per_sample << " "
        << m.format.sample_rate << "\n";
    out << "working=" << escape(m.working) << "\n";
    out << "samples=" << m.total_samples << "\n";
    out << "modified=" << (m.modified ? 1 : 0) << "\n";
    return out.str();
}

bool parse_manifest(const std::string& text, Manifest& out)
{
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != kHead)
        return false;
    Manifest m;
    bool have_format = false, have_working = false;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        if (key == "title") {
            m.title = unescape(value);
        } else if (key == "path") {
            m.path = unescape(value);
        } else if (key == "format") {
            int channels = 0, bits = 0;
            unsigned long rate = 0;
            std::istringstream f(value);
            if (!(f >> channels >> bits >> rate) || (channels != 1 && channels != 2) ||
                (bits != 8 && bits != 16) || rate < 1 || rate > 1000000)
                return false;
            m.format.format_tag = 1;
            m.format.channels = static_cast<uint16_t>(channels);
            m.format.bits_per_sample = static_cast<uint16_t>(bits);
            m.format.sample_rate = static_cast<uint32_t>(rate);
            m.format.block_align = static_cast<uint16_t>(channels * bits / 8);
            m.format.avg_bytes_per_sec = m.format.sample_rate * m.format.block_align;
            have_format = true;
        } else if (key == "working") {
            m.working = unescape(value);
            have_working = true;
        } else if (key == "samples") {
            m.total_samples = std::max(0L, std::strtol(value.c_str(), nullptr, 10));
        } else if (key == "modified") {
            m.modified = value == "1";
        }
    }
    // The working file is a plain name inside the folder of the manifest.
    if (!have_format || !have_working || m.working.empty() ||
        m.working.find('/') != std::string::npos || m.working == "." || m.working == "..")
        return false;
    out = m;
    return true;
}

void opened_from(CChildFrame& doc, const std::string& file)
{
    char resolved[PATH_MAX];
    std::string user = realpath(file.c_str(), resolved) ? resolved : file;
    const std::string current = kel::run_dir::current();
    const std::string folder = !current.empty() && realpath(current.c_str(), resolved)
                                   ? std::string(resolved) + "/"
                                   : current;
    if (!folder.empty() && user.compare(0, folder.size(), folder) == 0)
        user.clear();
    if (user.empty())
        doc.remember_file("");
}

std::string manifest_path(const CChildFrame& doc)
{
    auto it = g_docs.find(&doc);
    const std::string folder = kel::run_dir::current();
    if (it == g_docs.end() || it->second.number == 0 || folder.empty())
        return "";
    return folder + "doc-" + std::to_string(it->second.number) + ".manifest";
}

void note(CChildFrame& doc)
{
    const std::string folder = kel::run_dir::current();
    const std::string working = doc.current.file_name;
    if (folder.empty() || working.compare(0, folder.size(), folder) != 0 ||
        working.find('/', folder.size()) != std::string::npos)
        return;
    if (folder != g_numbered_folder) {
        // A new run folder (tests open several in one process) counts from 1 again.
        g_numbered_folder = folder;
        g_next_number = 1;
        for (auto& [key, other] : g_docs) {
            other.number = 0;
            other.written.clear();
        }
    }
    Entry& e = g_docs[&doc];
    e.doc = &doc;
    Manifest m;
    m.title = doc.file_title;
    m.path = doc.file_path;
    m.format = doc.wave_format;
    m.working = working.substr(folder.size());
    m.total_samples = doc.current.total_samples;
    m.modified = doc.is_modified != 0;
    const std::string text = manifest_text(m);
    if (text == e.written)
        return;
    if (e.number == 0)
        e.number = g_next_number++;
    // A manifest that cannot be written keeps the last one; the step itself stands.
    if (write_manifest(manifest_path(doc), text))
        e.written = text;
}

void forget(const CChildFrame& doc)
{
    auto it = g_docs.find(&doc);
    if (it == g_docs.end())
        return;
    const std::string manifest = manifest_path(doc);
    if (!manifest.empty())
        ::unlink(manifest.c_str());
    g_docs.erase(it);
}

Orphans adopt_orphans()
{
    Orphans o;
    std::vector<std::string> bases = {data_directory(), kel::run_dir::runtime_base()};
    if (bases[0] == bases[1])
        bases.pop_back();
    for (const std::string& base : bases) {
        std::vector<std::string> folders = kel::run_dir::orphans(base, kPrefix);
        std::sort(folders.begin(), folders.end());
        for (const std::string& folder : folders) {
            // A run that is starting has made its folder but may not hold the lock yet;
            // a folder whose process is alive waits for a later start.
            if (run_is_alive(folder) || !kel::run_dir::adopt(folder))
                continue; // another editor starting now has it
            o.folders.push_back(folder);
            for (const std::string& file : manifests_in(folder)) {
                Found f;
                f.folder = folder;
                if (!plain_file(file) || !parse_manifest(read_small_file(file), f.manifest) ||
                    !f.manifest.modified || !plain_file(folder + f.manifest.working))
                    continue;
                o.documents.push_back(std::move(f));
            }
        }
    }
    return o;
}

std::unique_ptr<CChildFrame> reopen(const Found& found)
{
    const Manifest& m = found.manifest;
    const std::string old_name = found.folder + m.working;
    off_t size = 0;
    if (!plain_file(old_name, &size))
        return nullptr;
    const long bps = std::max(1, m.format.bits_per_sample / 8);
    const long align = std::max<long>(1, m.format.block_align);
    // The manifest's count when the file holds exactly that, else the whole frames there.
    long bytes = static_cast<long>(size) / align * align;
    if (m.total_samples * bps == static_cast<long>(size))
        bytes = static_cast<long>(size);

    std::unique_ptr<CChildFrame> doc(new CChildFrame());
    const std::string profile = kel::profile::app_profile();
    doc->color_flag = static_cast<int>(kel::profile::read_int("General", "Color", 1, profile));
    doc->tooltips_flag =
        static_cast<int>(kel::profile::read_int("General", "ToolTips", 1, profile));
    last_format = m.format;
    data_size = static_cast<uint32_t>(bytes);
    doc->fill_new_document(m.title.c_str());
    std::snprintf(doc->file_title, sizeof doc->file_title, "%s", m.title.c_str());
    make_working_name(doc->current.file_name, ".tmp");
    if (!doc->current.file_name[0])
        return nullptr;
    doc->is_modified = 1;
    doc->remember_file(m.path);
    // This run's manifest names the file before it moves: a run that dies in between
    // still leaves the old folder's manifest pointing at it.
    note(*doc);
    const std::string new_name = doc->current.file_name;
    bool moved = std::rename(old_name.c_str(), new_name.c_str()) == 0;
    if (!moved && errno == EXDEV && create_working_file(new_name.c_str()) == 0) {
        char text[320];
        std::snprintf(text, sizeof text, "Reading file %s...", doc->file_title);
        if (!doc->copy_file_to_file(new_name.c_str(), old_name.c_str(),
                                    static_cast<unsigned long>(bytes), 0, 0, 1, text))
            return nullptr; // our copy goes with the document
        moved = true;
    } else if (!moved) {
        doc->current.file_name[0] = '\0';
        return nullptr;
    }
    if (::truncate(new_name.c_str(), bytes) != 0)
        bytes = static_cast<long>(size);
    doc->current.total_samples = bytes / bps;
    doc->current.select_end = doc->current.total_samples;
    if (!doc->prepare_slot(doc->current, SlotRole::Current, "Opening file %s...")) {
        // Back where it was, so that the next start can offer it again.
        doc->current.release_levels();
        if (std::rename(new_name.c_str(), old_name.c_str()) == 0)
            doc->current.file_name[0] = '\0';
        return nullptr;
    }
    apply_initial_zoom(*doc);
    note(*doc);
    documents::set_active(doc.get());
    return doc;
}

std::vector<std::unique_ptr<CChildFrame>> recover(Orphans& orphans)
{
    std::vector<std::unique_ptr<CChildFrame>> out;
    for (const std::string& folder : orphans.folders) {
        bool all = true;
        for (const Found& f : orphans.documents) {
            if (f.folder != folder)
                continue;
            if (auto doc = reopen(f))
                out.push_back(std::move(doc));
            else
                all = false;
        }
        if (all)
            kel::run_dir::remove(folder);
    }
    orphans = Orphans();
    return out;
}

void discard(Orphans& orphans)
{
    for (const std::string& folder : orphans.folders)
        kel::run_dir::remove(folder);
    orphans = Orphans();
}

std::vector<std::unique_ptr<CChildFrame>> offer_recovery()
{
    Orphans orphans = adopt_orphans();
    if (orphans.documents.empty()) {
        discard(orphans);
        return {};
    }
    const size_t n = orphans.documents.size();
    const std::string text = n == 1 ? std::string("Recover 1 unsaved document?")
                                    : "Recover " + std::to_string(n) + " unsaved documents?";
    if (kel::ui().message_box(text, "Kelvara", kel::Buttons::YesNo, kel::Icon::Question) ==
        kel::kIdYes)
        return recover(orphans);
    discard(orphans);
    return {};
}

void end_session()
{
    std::vector<CChildFrame*> docs;
    for (auto& [key, e] : g_docs)
        if (e.doc)
            docs.push_back(e.doc);
    bool keep = false;
    for (CChildFrame* doc : docs) {
        if (doc->is_modified) {
            // Half way through an operation the manifest of the last step is the truth.
            if (!doc->undo_setup_pending())
                note(*doc);
            keep = true;
        } else {
            doc->discard_files();
        }
    }
    if (!keep)
        kel::run_dir::close();
}

void end_run()
{
    std::vector<CChildFrame*> docs;
    for (auto& [key, e] : g_docs)
        if (e.doc)
            docs.push_back(e.doc);
    for (CChildFrame* doc : docs)
        doc->discard_files();
    kel::run_dir::close();
}

} // namespace recovery
