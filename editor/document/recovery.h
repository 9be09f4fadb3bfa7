#pragma once
// Documents outlive a run that dies. Each open document keeps a small manifest in the
// run folder ("doc-N.manifest": title, the user's file, the PCM format, the current
// working file, the modified flag), rewritten atomically whenever its state changes. A
// later start finds the folders of runs that died and offers their modified documents.
#include "common/child_frame.h"

#include <memory>
#include <string>
#include <vector>

namespace recovery {

struct Manifest
{
    std::string title;   // the document's title
    std::string path;    // full path of the user's file; empty for a new document
    WaveFormat format;   // PCM
    std::string working; // the current working file, a name inside the run folder
    long total_samples = 0;
    bool modified = false;
};

std::string manifest_text(const Manifest& m);
// False when the text is not a manifest of ours or its format is not one a document has.
bool parse_manifest(const std::string& text, Manifest& out);

// The user's file behind a document is its file_path (full; empty for a new or imported
// document). The document was read from this file: it becomes the user path, unless the
// file is an intermediate in this run's folder (a decoded or converted file).
void opened_from(CChildFrame& doc, const std::string& file);

// Rewrites the document's manifest when what it records has changed.
void note(CChildFrame& doc);
// The document is going away: its manifest goes first.
void forget(const CChildFrame& doc);
// The manifest of a document ("" before the first note).
std::string manifest_path(const CChildFrame& doc);

// A modified document found in a run folder of a run that died.
struct Found
{
    std::string folder; // with trailing '/'
    Manifest manifest;
};

// The run folders of runs that died (data directory and runtime folder), taken over so
// that no second editor starting now takes them too, with their modified documents.
struct Orphans
{
    std::vector<std::string> folders;
    std::vector<Found> documents;
};
Orphans adopt_orphans();

// Opens a found document as a modified document of this run: its working file moves into
// this run's folder. Null (the orphan left as it was) when that fails.
std::unique_ptr<CChildFrame> reopen(const Found& found);
// Reopens every document; a folder goes once all its documents came back.
std::vector<std::unique_ptr<CChildFrame>> recover(Orphans& orphans);
// Deletes the folders with everything in them.
void discard(Orphans& orphans);
// The start-up step: orphans without modified documents go silently; otherwise asks
// "Recover N unsaved documents?" and recovers (Yes) or deletes them (No).
std::vector<std::unique_ptr<CChildFrame>> offer_recovery();

// The system ends the session: unmodified documents' files go, modified ones stay with
// their manifests for the next start. The run folder goes when nothing is left to recover.
void end_session();
// A clean end: the documents are closed; the run folder goes with whatever is left in it.
void end_run();

} // namespace recovery
