#include "platform/midi_devices.h"

#include <alsa/asoundlib.h>
#include <cctype>
#include <unistd.h>

namespace kel::midi_devices {

namespace {

std::string lowercase(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Ports of other clients with the given capabilities; none without a sequencer.
std::vector<MidiCaps> sequencer_ports(unsigned capabilities)
{
    std::vector<MidiCaps> out;
    // Without the sequencer's device there is nothing to ask, and ALSA would complain.
    if (access("/dev/snd/seq", F_OK) != 0)
        return out;
    snd_seq_t* seq = nullptr;
    if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK) < 0)
        return out;
    snd_seq_client_info_t* client;
    snd_seq_port_info_t* port;
    snd_seq_client_info_alloca(&client);
    snd_seq_port_info_alloca(&port);
    const uint16_t version = static_cast<uint16_t>((SND_LIB_MAJOR << 8) | (SND_LIB_MINOR & 0xFF));
    snd_seq_client_info_set_client(client, -1);
    while (snd_seq_query_next_client(seq, client) >= 0) {
        const int id = snd_seq_client_info_get_client(client);
        if (id == SND_SEQ_CLIENT_SYSTEM)
            continue;
        snd_seq_port_info_set_client(port, id);
        snd_seq_port_info_set_port(port, -1);
        while (snd_seq_query_next_port(seq, port) >= 0) {
            if ((snd_seq_port_info_get_capability(port) & capabilities) != capabilities)
                continue;
            MidiCaps caps;
            caps.name = std::string(snd_seq_client_info_get_name(client)) + ": " +
                        snd_seq_port_info_get_name(port);
            caps.driver_version = version;
            const unsigned type = snd_seq_port_info_get_type(port);
            // FM chips say so in their names; other synthesizers have no text of their own.
            const std::string lower = lowercase(caps.name);
            if (type & (SND_SEQ_PORT_TYPE_SYNTH | SND_SEQ_PORT_TYPE_SYNTHESIZER |
                        SND_SEQ_PORT_TYPE_DIRECT_SAMPLE | SND_SEQ_PORT_TYPE_SAMPLE))
                caps.technology = lower.find("opl") != std::string::npos ||
                                          lower.find("fm synth") != std::string::npos
                                      ? kFmSynth
                                      : kSynth;
            caps.client = id;
            caps.port = snd_seq_port_info_get_port(port);
            out.push_back(std::move(caps));
        }
    }
    snd_seq_close(seq);
    return out;
}

} // namespace

std::vector<MidiCaps> inputs()
{
    std::vector<MidiCaps> list = {{"Virtual MIDI input", 0x0100}};
    for (MidiCaps& c : sequencer_ports(SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ))
        list.push_back(std::move(c));
    return list;
}

std::vector<MidiCaps> outputs()
{
    std::vector<MidiCaps> list = {{"MIDI Mapper", 0x0100, kMapper}};
    for (MidiCaps& c : sequencer_ports(SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE))
        list.push_back(std::move(c));
    return list;
}

} // namespace kel::midi_devices
