#include "editor/files/realmedia.h"

#include "common/child_frame.h"
#include "common/host_services.h"
#include "editor/files/outside_program.h"
#include "editor/files/wave_header.h"
#include "editor/files/wave_save.h"
#include "platform/paths.h"
#include "platform/safe_write.h"
#ifdef KELVARA_HAVE_PNENG
#include "tools/pneng/pneng.h"
#endif
#ifdef KELVARA_HAVE_VIDEO_PICTURES
#include "platform/video/video_pictures.h"
#else
namespace kel {
// Without the video libraries no video file opens.
struct VideoPictures
{
    static bool has_video_stream(const std::string&) { return false; }
    bool open(const std::string&) { return false; }
    int width() const { return 0; }
    int height() const { return 0; }
    bool picture_at(double, std::vector<uint8_t>&) { return false; }
    bool failed() const { return true; }
};
} // namespace kel
#endif

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr unsigned long kBlockBytes = 32768;

struct CodecLists
{
    std::vector<std::string> audio, video;
};

CodecLists codec_lists()
{
    CodecLists lists;
#ifdef KELVARA_HAVE_PNENG
    PNCodecLists got{};
    if (PNEngine_PackageInit(&got)) {
        for (int i = 0; i < got.audio_count; ++i)
            lists.audio.push_back(got.audio_names[i]);
        for (int i = 0; i < got.video_count; ++i)
            lists.video.push_back(got.video_names[i]);
        PNEngine_PackageRelease(&got);
    }
#endif
    return lists;
}

bool listed(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::string formatted(const char* format, const std::string& name)
{
    char text[400];
    std::snprintf(text, sizeof text, format, name.c_str());
    return text;
}

} // namespace

RealMediaSettings& realmedia_settings()
{
    static RealMediaSettings settings;
    return settings;
}

bool has_video_stream(const std::string& file)
{
    return !file.empty() && kel::VideoPictures::has_video_stream(file);
}

int encode_realmedia(const std::string& input, const std::string& output,
                     const RealMediaSettings& settings, const RealMediaVideo& video,
                     const std::function<bool(int)>& progress,
                     const std::function<void(const std::string&)>& status)
{
    // The source first: without it there is nothing to encode, and the user is told.
    FILE* source = std::fopen(input.c_str(), "rb");
    if (!source || !ReadInputWaveformHeader(input.c_str(), 0) || last_format.format_tag != 1) {
        if (source)
            std::fclose(source);
        status(formatted("Cannot open %s.", kel::paths::file_part(input)));
        return 0;
    }
    const WaveFormat format = last_format;
    const uint64_t offset = data_offset;
    const uint64_t total = data_size;
    const bool with_video = !video.file.empty();
#ifdef KELVARA_HAVE_PNENG
    kel::VideoPictures pictures;
    const CodecLists lists = codec_lists();
    PNEngineSettings s{output.c_str(), settings.audio_codec.c_str(), settings.video_codec.c_str(),
                       settings.quality, settings.frame_rate};
    PNEngine* engine = PNEngine_Open(&s);
    if (!engine) {
        std::fclose(source);
        status("Call to PNEngine_Open failed.");
        return 0;
    }
    bool ok = true;
    if (!listed(lists.audio, settings.audio_codec)) {
        status(formatted("%s is not a valid audio codec name.", settings.audio_codec));
        ok = false;
    } else if (with_video && !listed(lists.video, settings.video_codec)) {
        status(formatted("%s is not a valid video codec name.", settings.video_codec));
        ok = false;
    }
    if (ok) {
        PNStreamFormat f{static_cast<int>(format.sample_rate), format.channels,
                         format.bits_per_sample, 0, 0};
        ok = PNEngine_OpenStream(engine, kPNAudioStream, &f) == 1;
        if (!ok)
            status("Call to PNEngine_OpenStream failed.");
    }
    if (ok && with_video) {
        if (!pictures.open(video.file)) {
            status(formatted("Cannot open %s.", kel::paths::file_part(video.file)));
            ok = false;
        } else {
            PNStreamFormat f{0, 0, 0, pictures.width(), pictures.height()};
            ok = PNEngine_OpenStream(engine, kPNVideoStream, &f) == 1;
            if (!ok)
                status("Call to PNEngine_OpenStream failed.");
        }
    }
    if (ok) {
        const double rate = std::clamp(settings.frame_rate, 8, 100);
        const unsigned long frame = std::max(1, format.block_align ? int(format.block_align) : 1);
        const double bytes_per_second = double(format.sample_rate) * frame;
        std::vector<unsigned char> block(kBlockBytes);
        std::vector<uint8_t> picture;
        bool pictures_left = with_video;
        int64_t picture_count = 0;
        // The pictures that fall before `seconds` of the sound, after the sound that
        // precedes them, so the muxer never holds one stream back for the other.
        auto pictures_until = [&](double seconds) {
            while (ok && pictures_left && picture_count / rate < seconds) {
                if (!pictures.picture_at(video.start_seconds + picture_count / rate, picture)) {
                    pictures_left = false;
                    if (pictures.failed()) {
                        status(formatted("Could not read the video of %s.",
                                         kel::paths::file_part(video.file)));
                        ok = false;
                    }
                    break;
                }
                if (PNEngine_Encode(engine, kPNVideoStream, picture.data(), picture.size()) != 1) {
                    status("Call to PNEngine_Encode failed.");
                    ok = false;
                }
                ++picture_count;
            }
        };
        uint64_t done = 0;
        if (std::fseek(source, static_cast<long>(offset), SEEK_SET) != 0)
            ok = false;
        while (ok && done < total) {
            const unsigned long want = static_cast<unsigned long>(
                std::min<uint64_t>(kBlockBytes / frame * frame, total - done));
            const size_t got = std::fread(block.data(), 1, want, source);
            if (got == 0)
                break; // a shorter file than its header says: what it holds
            if (PNEngine_Encode(engine, kPNAudioStream, block.data(), got) != 1) {
                status("Call to PNEngine_Encode failed.");
                ok = false;
            }
            done += got;
            pictures_until(double(done / frame * frame) / bytes_per_second);
            if (ok && !progress(static_cast<int>(done * 100 / std::max<uint64_t>(1, total))))
                ok = false; // cancelled: nothing more is said
        }
        if (PNEngine_CloseStream(engine, kPNAudioStream) != 1 && ok) {
            status("Call to PNEngine_CloseStream failed.");
            ok = false;
        }
        if (with_video && PNEngine_CloseStream(engine, kPNVideoStream) != 1 && ok) {
            status("Call to PNEngine_CloseStream failed.");
            ok = false;
        }
    }
    if (PNEngine_Close(engine) != 1 && ok) {
        status("Call to PNEngine_Close failed.");
        ok = false;
    }
    std::fclose(source);
    if (!ok) {
        std::remove(output.c_str());
        return 0;
    }
    status("Done.");
    return 1;
#else
    (void)settings;
    (void)with_video;
    (void)progress;
    (void)offset;
    (void)total;
    (void)format;
    std::fclose(source);
    status("Call to PNEngine_Open failed.");
    return 0;
#endif
}

RealMediaDialog::RealMediaDialog(std::string input, std::string output, int channels,
                                 RealMediaVideo video)
    : input_(std::move(input)), output_(std::move(output)), channels_(channels),
      video_(std::move(video))
{
}

std::string RealMediaDialog::description_of(const std::string& codec)
{
    if (codec == "8 Kbps Voice")
        return "Use this option for voice over 14.4 kbps modems.\nFrequency response: 4 kHz";
    return "";
}

void RealMediaDialog::on_open()
{
    const CodecLists lists = codec_lists();
    audio_names.clear();
    for (const auto& name : lists.audio)
        if (channels_ != 1 || name.find("Stereo") == std::string::npos)
            audio_names.push_back(name);
    // The last choice when it is offered, else entry 8 (mono) or 7 (stereo) as far as the
    // list goes.
    const auto& s = realmedia_settings();
    const auto it = std::find(audio_names.begin(), audio_names.end(), s.audio_codec);
    const int preferred = channels_ == 1 ? 8 : 7;
    audio_choice = it != audio_names.end()
                       ? static_cast<int>(it - audio_names.begin())
                       : std::min<int>(preferred, std::max<int>(0, int(audio_names.size()) - 1));
    choose_audio(audio_choice);
    video_names = lists.video;
    video_enabled = !video_names.empty() && has_video_stream(video_.file);
    video_choice = 0;
    quality = s.quality;
    frame_rate = s.frame_rate;
}

void RealMediaDialog::choose_audio(int index)
{
    if (index < 0 || index >= static_cast<int>(audio_names.size())) {
        description.clear();
        return;
    }
    audio_choice = index;
    description = description_of(audio_names[index]);
}

void RealMediaDialog::ok()
{
    auto& s = realmedia_settings();
    if (audio_choice >= 0 && audio_choice < static_cast<int>(audio_names.size()))
        s.audio_codec = audio_names[audio_choice];
    if (video_enabled && video_choice >= 0 && video_choice < static_cast<int>(video_names.size()))
        s.video_codec = video_names[video_choice];
    s.quality = std::clamp(quality, 1, 100);
    s.frame_rate = std::clamp(frame_rate, 8, 100);
    encoding = true;
    cancel_asked = false;
    written = encode_realmedia(
                  input_, output_, s, video_enabled ? video_ : RealMediaVideo{},
                  [this](int p) {
                      percent = p;
                      if (changed)
                          changed();
                      return !cancel_asked;
                  },
                  [this](const std::string& text) {
                      status = text;
                      if (changed)
                          changed();
                  }) == 1;
    encoding = false;
    // A failure stays on the screen in the status line until the user cancels.
    if (written)
        end_dialog(1);
    else if (cancel_asked)
        end_dialog(2);
}

void RealMediaDialog::cancel()
{
    if (encoding)
        cancel_asked = true;
    else
        end_dialog(2);
}

int save_realmedia_file(CChildFrame& doc, const std::string& name, bool highlighted_only)
{
    const std::string title = kel::paths::file_part(name);
    const std::string folder = run_directory();
    kel::SafeWrite out(name);
    std::string detail = folder.empty() ? kel::file_error_text(errno) : out.error_text();
    if (folder.empty() || !out.ok()) {
        ErrMsgDetail("Could not encode " + title + ".", detail);
        return 0;
    }
    const std::string input = folder + "RMFCNVRT.WAV";
    const std::string made = folder + "RMFCNVRT.rm";
    IntermediateFiles remove{input, made};
    if (!save_wave_intermediate(doc, input, highlighted_only, save_format_of(doc)))
        return 0;
    // The pictures from where the saved sound starts in the document.
    RealMediaVideo video;
    if (doc.video_source && doc.video_file[0]) {
        video.file = doc.video_file;
        if (highlighted_only && doc.current.has_selection && doc.wave_format.sample_rate)
            video.start_seconds = double(std::max(0L, long(doc.current.select_start))) /
                                  std::max(1, int(doc.wave_format.channels)) /
                                  doc.wave_format.sample_rate;
    }
    RealMediaDialog dialog(input, made, doc.wave_format.channels, video);
    if (kel::ui().run_modal(dialog) != 1 || !dialog.written)
        return 0;
    int error = 0;
    if (!move_into(made, out, error)) {
        ErrMsgDetail("Could not encode " + title + ".", kel::file_error_text(error));
        return 0;
    }
    if (!out.commit()) {
        ErrMsgDetail("Could not encode " + title + ".", out.error_text());
        return 0;
    }
    return 1;
}
