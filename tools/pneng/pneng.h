#pragma once
// The RealMedia encoding engine's calls. Results: 1 for success, 0 for failure.
extern "C" {

struct PNCodecLists
{
    const char* const* audio_names;
    int audio_count;
    const char* const* video_names;
    int video_count;
};

// What the engine offers.
int PNEngine_PackageInit(PNCodecLists* lists);
void PNEngine_PackageRelease(PNCodecLists* lists);

struct PNEngineSettings
{
    const char* output_file;
    const char* audio_codec; // one of the audio names
    const char* video_codec; // one of the video names
    int quality;             // 1 to 100
    int frame_rate;          // 8 to 100
};

enum PNStreamKind { kPNAudioStream = 0, kPNVideoStream = 1 };

struct PNStreamFormat
{
    // Audio: interleaved PCM, 8-bit unsigned or 16-bit signed little-endian.
    int sample_rate, channels, bits_per_sample;
    // Video: packed 24-bit RGB pictures of this size, one every 1/frame_rate seconds.
    int width, height;
};

struct PNEngine;
// Null when the output cannot be made.
PNEngine* PNEngine_Open(const PNEngineSettings* settings);
// Every stream is opened before the first block is encoded.
int PNEngine_OpenStream(PNEngine* engine, int kind, const PNStreamFormat* format);
// One block: PCM bytes of whole frames, or one picture. The caller alternates the streams
// in time, so the file interleaves them without holding either back.
int PNEngine_Encode(PNEngine* engine, int kind, const void* data, unsigned long bytes);
int PNEngine_CloseStream(PNEngine* engine, int kind);
// Finishes the file; 0 when it could not be written whole.
int PNEngine_Close(PNEngine* engine);
}
