#include "platform/midi_devices.h"

#include <alsa/asoundlib.h>
#include <unistd.h>

namespace kel::midi_devices {

namespace {

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
            out.push_back({std::string(snd_seq_client_info_get_name(client)) + ": " +
                               snd_seq_port_info_get_name(port),
                           version});
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
    std::vector<MidiCaps> list = {{"MIDI Mapper", 0x0100}};
    for (MidiCaps& c : sequencer_ports(SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE))
        list.push_back(std::move(c));
    return list;
}

} // namespace kel::midi_devices
