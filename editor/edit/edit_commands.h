#pragma once
// The Edit menu's clipboard commands of a document window. Each returns 1 when it did
// its work and 0 when it did nothing, failed or was cancelled; a document that changed
// went through one complete undo step, one that did not is exactly as it was.
#include "common/child_frame.h"

#include <memory>

int edit_cut(CChildFrame& doc);             // 11303
int edit_copy(CChildFrame& doc);            // 11304 (Edit menu "Co&py")
int edit_paste(CChildFrame& doc);           // 11305
int edit_replace(CChildFrame& doc);         // 11306
int edit_mix(CChildFrame& doc);             // 11307
int edit_crop(CChildFrame& doc);            // 11302
int edit_trim(CChildFrame& doc);            // 1881
int edit_insert_silence(CChildFrame& doc);  // 11518
int edit_erase_clipboard(CChildFrame& doc); // 11308

// Every command above plus undo (11600), redo (11601) and the undo item (11602).
// 0 for an id that is not one of them. Clear (11301) is the amplify module's, an
// Operations row.
int edit_command(CChildFrame& doc, int id);

// The document the clipboard came from, while it is still open.
CChildFrame* clipboard_source();

// A highlighted section dragged from `source` and dropped on another document: the
// combine dialog chooses how, then the engine runs with the copy-first flag. Dropping
// on the source itself is not a combine.
int drop_selection_on_document(CChildFrame& source, CChildFrame& destination);

// A highlighted section dropped on the main window's empty area becomes a new document
// ("SAMPLE%d.WAV", marked modified). Null on failure (message shown).
std::unique_ptr<CChildFrame> new_file_from_section(CChildFrame& source);
