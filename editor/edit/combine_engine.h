#pragma once
// The combining engine behind cut, paste, replace, mix, cross-fade, crop and insert
// silence: it builds the destination's redo file from the head of its data, the new
// middle and the tail, then makes it the current state.
#include "common/child_frame.h"

#include <string>

// A highlighted section: has_selection set and a non-empty range.
bool has_highlighted_section(const CChildFrame& doc);

// The clipboard data ready for the destination: the clipboard itself, or its conversion
// to the destination's format. False (message shown) when there is none to use.
bool clipboard_for_destination(CChildFrame& destination, std::string& file, long& length_bytes);

// source may be null when the clipboard's source has been closed (copy_first 0 only).
// Codes: 11302 crop, 11303 cut, 11304 insert, 11305 paste, 11306 overwrite, 11307 mix,
// 11311 cross-fade, 11518 insert silence. 1 when the destination changed; on 0 the
// destination is exactly as it was.
int combine_selection(CChildFrame* source, CChildFrame& destination, int copy_first, int code);
