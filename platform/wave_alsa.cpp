// The ALSA side of the wave devices. Device 0 is the user's default PCM; the PCMs of
// the cards ALSA lists follow as "plughw:card,device". A PCM that cannot be opened
// (on a machine without a card, "default" is unknown) is simply no device: ALSA's own
// complaints are kept off the terminal.
#include "platform/wave_stream.h"

#include <alsa/asoundlib.h>
#include <cerrno>
#include <cstdarg>
#include <mutex>
#include <string>
#include <vector>

namespace kel::wave_device::detail {
namespace {

void quiet_handler(const char*, int, const char*, int, const char*, ...) {}

void keep_alsa_quiet()
{
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(quiet_handler); });
}

struct PcmEntry
{
    std::string pcm;
    std::string name;
};

std::vector<PcmEntry> list_pcms(bool capture)
{
    keep_alsa_quiet();
    std::vector<PcmEntry> list;
    list.push_back({alsa_default_pcm(), "Default (" + alsa_default_pcm() + ")"});
    int card = -1;
    while (snd_card_next(&card) == 0 && card >= 0) {
        snd_ctl_t* ctl = nullptr;
        const std::string hw = "hw:" + std::to_string(card);
        if (snd_ctl_open(&ctl, hw.c_str(), 0) < 0)
            continue;
        snd_ctl_card_info_t* info = nullptr;
        snd_ctl_card_info_alloca(&info);
        std::string card_name = hw;
        if (snd_ctl_card_info(ctl, info) == 0)
            card_name = snd_ctl_card_info_get_name(info);
        int dev = -1;
        while (snd_ctl_pcm_next_device(ctl, &dev) == 0 && dev >= 0) {
            snd_pcm_info_t* pcm_info = nullptr;
            snd_pcm_info_alloca(&pcm_info);
            snd_pcm_info_set_device(pcm_info, static_cast<unsigned>(dev));
            snd_pcm_info_set_subdevice(pcm_info, 0);
            snd_pcm_info_set_stream(pcm_info,
                                    capture ? SND_PCM_STREAM_CAPTURE : SND_PCM_STREAM_PLAYBACK);
            if (snd_ctl_pcm_info(ctl, pcm_info) < 0)
                continue;
            list.push_back({"plughw:" + std::to_string(card) + "," + std::to_string(dev),
                            card_name + ": " + snd_pcm_info_get_name(pcm_info)});
        }
        snd_ctl_close(ctl);
    }
    return list;
}

snd_pcm_format_t pcm_format(const Format& f)
{
    return f.bits_per_sample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
}

class AlsaPort : public Port
{
  public:
    AlsaPort(snd_pcm_t* pcm, const Format& f)
        : pcm_(pcm), frame_(std::max<uint16_t>(1, f.block_align))
    {
    }
    ~AlsaPort() override
    {
        if (pcm_) {
            snd_pcm_drop(pcm_);
            snd_pcm_close(pcm_);
        }
    }

    int play(Stream&, std::unique_lock<std::mutex>& lock, const uint8_t* data, size_t n) override
    {
        lock.unlock();
        int result = 1;
        snd_pcm_uframes_t frames = n / frame_;
        size_t offset = 0;
        while (frames > 0) {
            snd_pcm_sframes_t r = snd_pcm_writei(pcm_, data + offset, frames);
            if (r < 0) {
                if (snd_pcm_recover(pcm_, static_cast<int>(r), 1) < 0) {
                    result = -1;
                    break;
                }
                continue;
            }
            frames -= static_cast<snd_pcm_uframes_t>(r);
            offset += static_cast<size_t>(r) * frame_;
        }
        snd_pcm_sframes_t delay = 0;
        const uint32_t d = snd_pcm_delay(pcm_, &delay) == 0 && delay > 0
                               ? static_cast<uint32_t>(delay) * frame_
                               : 0;
        lock.lock();
        delay_ = d;
        return result;
    }

    int capture(Stream& s, std::unique_lock<std::mutex>& lock, uint8_t* data, size_t n) override
    {
        lock.unlock();
        int result = 1;
        uint32_t overruns = 0;
        snd_pcm_uframes_t frames = n / frame_;
        size_t offset = 0;
        while (frames > 0) {
            snd_pcm_sframes_t r = snd_pcm_readi(pcm_, data + offset, frames);
            if (r < 0) {
                if (r == -EPIPE)
                    ++overruns; // the card's own buffer filled: sound was lost
                if (snd_pcm_recover(pcm_, static_cast<int>(r), 1) < 0) {
                    result = -1;
                    break;
                }
                continue;
            }
            frames -= static_cast<snd_pcm_uframes_t>(r);
            offset += static_cast<size_t>(r) * frame_;
        }
        lock.lock();
        s.overruns += overruns;
        return result;
    }

    void halt() override
    {
        snd_pcm_drop(pcm_);
        delay_ = 0;
    }
    void resume() override { snd_pcm_prepare(pcm_); }
    uint32_t delay_bytes() const override { return delay_; }

  private:
    snd_pcm_t* pcm_;
    uint32_t frame_;
    uint32_t delay_ = 0;
};

int open_pcm(bool capture, int device, snd_pcm_t** pcm, int mode)
{
    const std::vector<PcmEntry> list = list_pcms(capture);
    if (device < 0 || device >= static_cast<int>(list.size()))
        return kBadDeviceId;
    const int r = snd_pcm_open(pcm, list[static_cast<size_t>(device)].pcm.c_str(),
                               capture ? SND_PCM_STREAM_CAPTURE : SND_PCM_STREAM_PLAYBACK, mode);
    if (r == -EBUSY)
        return kAllocated;
    if (r < 0)
        return kBadDeviceId;
    return kOk;
}

} // namespace

bool alsa_has_card()
{
    keep_alsa_quiet();
    int card = -1;
    return snd_card_next(&card) == 0 && card >= 0;
}

int alsa_device_count(bool capture)
{
    return static_cast<int>(list_pcms(capture).size());
}

int alsa_caps(bool capture, int device, Caps& caps)
{
    const std::vector<PcmEntry> list = list_pcms(capture);
    if (device < 0 || device >= static_cast<int>(list.size()))
        return kBadDeviceId;
    caps = Caps{};
    caps.name = list[static_cast<size_t>(device)].name;
    caps.formats = 0;
    caps.channels = 0;
    caps.support = capture ? 0 : kSupportVolume | kSupportLrVolume;
    caps.driver_version = static_cast<uint16_t>((SND_LIB_MAJOR << 8) | SND_LIB_MINOR);
    snd_pcm_t* pcm = nullptr;
    if (open_pcm(capture, device, &pcm, SND_PCM_NONBLOCK) != kOk)
        return kOk; // listed but not usable now: no formats
    snd_pcm_hw_params_t* any = nullptr;
    snd_pcm_hw_params_t* trial = nullptr;
    snd_pcm_hw_params_alloca(&any);
    snd_pcm_hw_params_alloca(&trial);
    if (snd_pcm_hw_params_any(pcm, any) >= 0) {
        unsigned max_channels = 0;
        snd_pcm_hw_params_get_channels_max(any, &max_channels);
        caps.channels = static_cast<uint16_t>(std::min(2u, max_channels));
        const unsigned rates[3] = {11025, 22050, 44100};
        for (int r = 0; r < 3; ++r) {
            for (int stereo = 0; stereo < 2; ++stereo) {
                for (int sixteen = 0; sixteen < 2; ++sixteen) {
                    snd_pcm_hw_params_copy(trial, any);
                    if (snd_pcm_hw_params_set_format(
                            pcm, trial, sixteen ? SND_PCM_FORMAT_S16_LE : SND_PCM_FORMAT_U8) < 0 ||
                        snd_pcm_hw_params_set_channels(pcm, trial, stereo ? 2 : 1) < 0 ||
                        snd_pcm_hw_params_set_rate(pcm, trial, rates[r], 0) < 0)
                        continue;
                    // Bits in the order 1M08, 1S08, 1M16, 1S16, then the next rate class.
                    caps.formats |= 1u << (r * 4 + sixteen * 2 + stereo);
                }
            }
        }
    }
    snd_pcm_close(pcm);
    return kOk;
}

int alsa_open(bool capture, int device, const Format& format, std::unique_ptr<Port>& port,
              bool query_only)
{
    snd_pcm_t* pcm = nullptr;
    const int r = open_pcm(capture, device, &pcm, 0);
    if (r != kOk)
        return r;
    if (snd_pcm_set_params(pcm, pcm_format(format), SND_PCM_ACCESS_RW_INTERLEAVED, format.channels,
                           format.sample_rate, 1, 100000) < 0) {
        snd_pcm_close(pcm);
        return kBadFormat;
    }
    if (query_only) {
        snd_pcm_close(pcm);
        return kOk;
    }
    port.reset(new (std::nothrow) AlsaPort(pcm, format));
    if (!port) {
        snd_pcm_close(pcm);
        return kNoMem;
    }
    return kOk;
}

bool alsa_set_master(int device, int left, int right)
{
    const std::vector<PcmEntry> list = list_pcms(false);
    if (device < 0 || device >= static_cast<int>(list.size()))
        return false;
    // The mixer of the card behind the PCM: "default" for the default, "hw:N" for a card.
    std::string mixer_name = "default";
    const std::string& pcm = list[static_cast<size_t>(device)].pcm;
    if (pcm.rfind("plughw:", 0) == 0)
        mixer_name = "hw:" + pcm.substr(7, pcm.find(',') - 7);
    snd_mixer_t* mixer = nullptr;
    if (snd_mixer_open(&mixer, 0) < 0)
        return false;
    bool done = false;
    if (snd_mixer_attach(mixer, mixer_name.c_str()) == 0 &&
        snd_mixer_selem_register(mixer, nullptr, nullptr) == 0 && snd_mixer_load(mixer) == 0) {
        // The speakers' volume: "Master" when there is one, else the first playback volume.
        snd_mixer_elem_t* chosen = nullptr;
        for (snd_mixer_elem_t* e = snd_mixer_first_elem(mixer); e; e = snd_mixer_elem_next(e)) {
            if (!snd_mixer_selem_has_playback_volume(e))
                continue;
            if (!chosen)
                chosen = e;
            if (std::string(snd_mixer_selem_get_name(e)) == "Master") {
                chosen = e;
                break;
            }
        }
        long min = 0, max = 0;
        if (chosen && snd_mixer_selem_get_playback_volume_range(chosen, &min, &max) == 0) {
            const long l = (min + max) * left / 256;
            const long r = (min + max) * right / 256;
            if (snd_mixer_selem_is_playback_mono(chosen)) {
                // One control cannot silence one side; our own gain does that instead.
                done = l == r && snd_mixer_selem_set_playback_volume_all(chosen, l) == 0;
            } else {
                done =
                    snd_mixer_selem_set_playback_volume(chosen, SND_MIXER_SCHN_FRONT_LEFT, l) ==
                        0 &&
                    snd_mixer_selem_set_playback_volume(chosen, SND_MIXER_SCHN_FRONT_RIGHT, r) == 0;
            }
        }
    }
    snd_mixer_close(mixer);
    return done;
}

} // namespace kel::wave_device::detail
