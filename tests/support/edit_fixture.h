#pragma once
// Documents opened from generated wave files, with the clipboard and undo state of the
// process reset around every test.
#include "common/child_frame.h"
#include "editor/document/edit_menu.h"
#include "editor/document/undo_preferences.h"
#include "editor/edit/clipboard_files.h"
#include "tests/support/test_env.h"
#include "tests/support/wave_files.h"

#include <algorithm>
#include <dirent.h>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

class EditTest : public TestEnv
{
  protected:
    void SetUp() override
    {
        TestEnv::SetUp();
        load_undo_preferences();
        g_clipboard = ClipboardState();
        g_undo_menu = UndoMenuState();
    }
    void TearDown() override
    {
        docs.clear();
        g_clipboard = ClipboardState();
        TestEnv::TearDown();
    }

    // Opens a document holding exactly these sample bytes.
    CChildFrame* open_doc(const std::string& samples, int channels, int bits, uint32_t rate,
                          const std::string& name = "")
    {
        WaveImage w;
        w.channels = static_cast<uint16_t>(channels);
        w.bits = static_cast<uint16_t>(bits);
        w.rate = rate;
        w.samples = samples;
        const std::string file =
            path(name.empty() ? "in" + std::to_string(docs.size()) + ".wav" : name);
        write_file(file, w.bytes());
        auto doc = CChildFrame::create_from_file(file.c_str());
        if (!doc)
            return nullptr;
        docs.push_back(std::move(doc));
        return docs.back().get();
    }

    void close_doc(CChildFrame* doc)
    {
        docs.erase(
            std::remove_if(docs.begin(), docs.end(), [&](const auto& d) { return d.get() == doc; }),
            docs.end());
    }

    static void select(CChildFrame* doc, long start, long end, int has = 1)
    {
        doc->current.select_start = start;
        doc->current.select_end = end;
        doc->current.has_selection = has;
    }

    std::string contents(CChildFrame* doc) const { return read_file(doc->working_file()); }

    std::set<std::string> tmp_files() const
    {
        const auto files = run_files(".tmp");
        return std::set<std::string>(files.begin(), files.end());
    }

    static bool exists(const std::string& file) { return ::access(file.c_str(), F_OK) == 0; }

    // Every entry of a folder with the bytes of its plain files.
    std::map<std::string, std::string> folder_files(const std::string& folder) const
    {
        std::map<std::string, std::string> out;
        if (DIR* d = opendir(folder.c_str())) {
            while (dirent* e = readdir(d)) {
                const std::string name = e->d_name;
                if (name != "." && name != "..")
                    out[name] = read_file(folder + name);
            }
            closedir(d);
        }
        return out;
    }

    static std::string bytes8(const std::vector<int>& values)
    {
        std::string s;
        for (int v : values)
            s.push_back(static_cast<char>(v));
        return s;
    }

    static int word(const std::string& s, size_t index)
    {
        return static_cast<int16_t>(static_cast<uint16_t>(
            static_cast<uint8_t>(s[2 * index]) | (static_cast<uint8_t>(s[2 * index + 1]) << 8)));
    }

    std::vector<std::unique_ptr<CChildFrame>> docs;
};
