#pragma once
// The coarse overview's min/max of whole groups of 256 frames, for code that has the
// samples at hand already (a fresh copy into a working file) and need not read them again.

// Bytes a piece must be a multiple of for its groups to start on group boundaries, in
// every sample format (256 frames of at most 4 bytes).
inline constexpr long kSurveyGroupBytes = 1024;

// The piece in which a new document's working file of `total_bytes` is filled and
// surveyed: at most 256 KB, small enough to stay in the cache between the copy and the
// survey; at least 32 KB; some sixteen pieces or more, so that Cancel is polled often
// even on a short file; whole groups in every format.
long fill_piece_bytes(long total_bytes);

// Appends the min/max words of the groups in `data` (`bytes` of interleaved samples that
// begin on a group boundary; only the last piece may end in a short group) to `store`,
// a level-1 table of the given sample size, from word index `written`. Returns the new
// count of words.
long survey_groups(const unsigned char* data, long bytes, int channels, int bytes_per_sample,
                   void* store, long written);
