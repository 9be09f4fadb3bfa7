#pragma once
class CChildFrame;

// The window layer registers how a document is brought up to date on screen after its
// data or selection changed; until then nothing is drawn.
extern void (*g_repaint_document)(CChildFrame* doc);
void repaint_document(CChildFrame* doc);
