#pragma once
// The one playback of the process, driven from outside: a start takes the document and a
// small request, the transport commands act on whatever plays, and the device's and the
// timer's messages come back here. Its state is the single PlaybackState (playback.h).
#include <cstdint>
#include <functional>

class CChildFrame;

// What a start asks for beyond the document itself.
struct PlayRequest
{
    // A start the caller chose (the sample under a right-button click, the caret a click
    // put down, a playback that opens on a position): from this sample word to the end.
    // -1: the document's own range, the highlighted section or else the whole file.
    long from = -1;
};

namespace playback {

// 11401: starts playback; 1 when it started, 0 when nothing started (no device, fewer
// than 30 sample words, a failure, or the call stopped a running playback).
int start(CChildFrame& doc, const PlayRequest& request = {});
// 11404: sets the Loop playback flag, then starts.
int start_loop(CChildFrame& doc, const PlayRequest& request = {});
// 11309: the pseudo clipboard, through the document's view window.
int play_clipboard(CChildFrame& doc);
// 11402: pauses or resumes what plays.
void pause();
// Stops what plays: nothing is refilled and playback ends when the buffers are back.
void stop();
// 1024: the loop set-up dialog; after OK with MTC triggering on, a start with the request.
int setup_loop(CChildFrame& doc, const PlayRequest& request = {});

// The transport commands with what each shows besides: Pause's button state; Stop's
// Pause button back to normal and the Loop playback flag cleared. 0 for an id that is
// not one of 11401, 11402, 11403, 11404, 1024, 11309.
int command(CChildFrame& doc, int id, const PlayRequest& request = {});

// One of the ids command() takes.
bool is_command(int id);
// A right-button click in the waveform area: Stop while something plays, else a start
// from the sample under the mouse. 1 when playback started.
int right_button(CChildFrame& doc, long sample_under_mouse);

bool is_playing();

// The record dialog plays its record file (in the document's format) from a byte offset;
// the device and the 30 ms tracking timer report to `target`, and on_end runs once the
// playback has ended, by itself or through stop(). 1 when it started.
int play_record_file(CChildFrame& doc, const char* file, uint64_t from_byte, void* target,
                     std::function<void()> on_end);

// The device's and the timer's messages, for the document that plays.
void prime();
void buffer_done();
void tick();
void end();
// Stops a playback of this document at once (the document is going away).
void release(CChildFrame& doc);

} // namespace playback
