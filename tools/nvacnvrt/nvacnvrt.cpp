// nvacnvrt INPUT OUTPUT
// Converts between wave files and the sixteen sample formats the editor names by
// extension. Always creates "finished" in the current directory when done; creates
// "outadpcm.wav" there too when the conversion succeeded, which is how the editor
// tells success from failure.
//
//   input --(read by extension)--> [channels <= 2] --> [8 or 16 bits] --> output
//
// Headerless inputs (raw, sb, sw, ub, ul, uw, sou) are taken as 22050 Hz mono.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <sox.h>
#include <string>

namespace {

std::string lower_extension(const std::string& name)
{
    auto dot = name.rfind('.');
    std::string e = dot == std::string::npos ? "" : name.substr(dot + 1);
    for (char& c : e)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return e;
}

// The editor's extensions in libsox's names.
const char* sox_type(const std::string& ext)
{
    if (ext == "8sv" || ext == "8svx" || ext == "iff")
        return "8svx";
    if (ext == "aif" || ext == "aiff")
        return "aiff";
    if (ext == "snd")
        return "sndt";
    if (ext == "wav")
        return "wav";
    static const char* same[] = {"au", "raw", "sb", "sf", "smp", "sou",
                                 "sw", "ub",  "ul", "uw", "voc"};
    for (const char* s : same)
        if (ext == s)
            return s;
    return nullptr;
}

bool headerless(const std::string& type)
{
    return type == "raw" || type == "sb" || type == "sw" || type == "ub" || type == "ul" ||
           type == "uw" || type == "sou";
}

void touch(const char* name)
{
    if (FILE* f = std::fopen(name, "wb"))
        std::fclose(f);
}

bool convert(const std::string& in_name, const std::string& out_name)
{
    const char* in_type = sox_type(lower_extension(in_name));
    const char* out_type = sox_type(lower_extension(out_name));
    if (!in_type || !out_type)
        return false;

    sox_signalinfo_t in_signal{};
    sox_signalinfo_t* in_hint = nullptr;
    if (headerless(in_type)) {
        in_signal.rate = 22050;
        in_signal.channels = 1;
        in_signal.precision = 0;
        in_signal.length = SOX_IGNORE_LENGTH;
        in_hint = &in_signal;
    }
    sox_format_t* in = sox_open_read(in_name.c_str(), in_hint, nullptr, in_type);
    if (!in)
        return false;

    sox_signalinfo_t out_signal = in->signal;
    if (out_signal.channels > 2)
        out_signal.channels = 2;
    out_signal.length = SOX_UNKNOWN_LEN;
    sox_encodinginfo_t out_encoding{};
    const bool eight = in->encoding.bits_per_sample > 0 && in->encoding.bits_per_sample <= 8;
    if (std::strcmp(out_type, "wav") == 0) {
        // The editor edits 8-bit unsigned or 16-bit signed PCM only.
        out_encoding.encoding = eight ? SOX_ENCODING_UNSIGNED : SOX_ENCODING_SIGN2;
        out_encoding.bits_per_sample = eight ? 8 : 16;
        out_signal.precision = eight ? 8 : 16;
    } else {
        out_encoding = in->encoding;
        out_encoding.encoding = SOX_ENCODING_UNKNOWN; // the format's own default
        out_encoding.bits_per_sample = 0;
    }
    sox_format_t* out = sox_open_write(out_name.c_str(), &out_signal,
                                       std::strcmp(out_type, "wav") == 0 ? &out_encoding : nullptr,
                                       out_type, nullptr, nullptr);
    if (!out) {
        sox_close(in);
        return false;
    }

    sox_effects_chain_t* chain = sox_create_effects_chain(&in->encoding, &out->encoding);
    sox_signalinfo_t interim = in->signal;
    bool ok = chain != nullptr;
    auto add = [&](const char* name, int argc, char** argv, sox_format_t* f) {
        if (!ok)
            return;
        sox_effect_t* e = sox_create_effect(sox_find_effect(name));
        ok = e && sox_effect_options(e, argc, argv) == SOX_SUCCESS &&
             sox_add_effect(chain, e, &interim, &out->signal) == SOX_SUCCESS;
        std::free(e);
        (void)f;
    };
    char* in_arg[] = {reinterpret_cast<char*>(in)};
    add("input", 1, in_arg, in);
    if (in->signal.channels != out->signal.channels)
        add("channels", 0, nullptr, nullptr);
    if (in->signal.rate != out->signal.rate)
        add("rate", 0, nullptr, nullptr);
    char* out_arg[] = {reinterpret_cast<char*>(out)};
    add("output", 1, out_arg, out);
    if (ok)
        ok = sox_flow_effects(chain, nullptr, nullptr) == SOX_SUCCESS;
    if (chain)
        sox_delete_effects_chain(chain);
    // libsox does not fail the flow on a short write or a full disk; a result cut short
    // must not pass for a good one, so its stream is flushed and looked at here.
    if (out->sox_errno != 0)
        ok = false;
    if (auto* fp = static_cast<FILE*>(out->fp); fp && (std::fflush(fp) != 0 || std::ferror(fp)))
        ok = false;
    ok = sox_close(out) == SOX_SUCCESS && ok;
    sox_close(in);
    if (!ok)
        std::remove(out_name.c_str());
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: nvacnvrt INPUT OUTPUT\n");
        touch("finished");
        return 2;
    }
    bool ok = false;
    if (sox_init() == SOX_SUCCESS) {
        sox_globals.verbosity = 0;
        ok = convert(argv[1], argv[2]);
        sox_quit();
    }
    if (ok)
        touch("outadpcm.wav");
    touch("finished");
    return ok ? 0 : 1;
}
